// The file-type check list: rows from both lists of a mode, the sort, select-all and the
// hand-over filter, with the model's invariants checked while rows change.
#include "signatures/qt/checklistmodel.h"

#include <QAbstractItemModelTester>
#include <gtest/gtest.h>

namespace salvyn {
namespace {

using Records = CheckListModel::Records;

Records records(std::initializer_list<std::pair<const char*, const char*>> typesAndDescriptions)
{
    Records list;
    for (const auto& [type, description] : typesAndDescriptions)
        list.insert(list.end(), {type, "18874368", "00", "1", "-", description, "0"});
    return list;
}

QStringList extensions(const CheckListModel& model)
{
    QStringList names;
    for (const CheckListRow& row : model.rows())
        names << row.Extension;
    return names;
}

class CheckList : public ::testing::Test {
protected:
    CheckListModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(CheckList, OneRowPerTypeFirstDescriptionWinsAndThoroughOnlyTypesAreMarked)
{
    model.fill(records({{"AVI", "first AVI"}, {"AVI", "second AVI"}}),
               records({{"AVI", "thorough AVI"}, {"MTS", "transport stream"}}));
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.rows()[0].Extension, QStringLiteral("AVI"));
    EXPECT_EQ(model.rows()[0].Description, QStringLiteral("first AVI"));
    EXPECT_EQ(model.rows()[0].Thoro, QString());
    EXPECT_EQ(model.rows()[1].Extension, QStringLiteral("MTS"));
    EXPECT_EQ(model.rows()[1].Thoro, QStringLiteral("YES"));
    EXPECT_TRUE(model.rows()[1].State);
    EXPECT_EQ(model.data(model.index(1, CheckListModel::ThoroColumn), Qt::DisplayRole).toString(),
              QStringLiteral("YES"));
    EXPECT_EQ(model.data(model.index(0, CheckListModel::StateColumn), Qt::CheckStateRole).toInt(), Qt::Checked);
}

TEST_F(CheckList, SortIsCaseInsensitiveAndKeepsTheOrderOfEqualNames)
{
    model.fill(records({{"mp3", "lower"}, {"MP3", "upper"}, {"wav", ""}, {"AAC", ""}}), records({{"Mp3", "mixed"}}));
    model.sortByExtension();
    EXPECT_EQ(extensions(model), (QStringList{QStringLiteral("AAC"), QStringLiteral("mp3"), QStringLiteral("MP3"),
                                              QStringLiteral("Mp3"), QStringLiteral("wav")}));
    model.fill({}, {});
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.Check_For_One_Extension_Selection());
}

TEST_F(CheckList, SelectAllAndUnselectAllKeepTheOrder)
{
    model.fill(records({{"ZIP", "z"}, {"DOC", "d"}, {"PDF", "p"}}), {});
    model.Select_Unselect(false);
    EXPECT_EQ(extensions(model), (QStringList{QStringLiteral("ZIP"), QStringLiteral("DOC"), QStringLiteral("PDF")}));
    EXPECT_FALSE(model.Check_For_One_Extension_Selection());
    EXPECT_TRUE(model.anyUnchecked());
    EXPECT_EQ(model.rows()[1].Description, QStringLiteral("d"));
    ASSERT_TRUE(model.setData(model.index(2, CheckListModel::StateColumn), Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(model.Check_For_One_Extension_Selection());
    model.Select_Unselect(true);
    EXPECT_FALSE(model.anyUnchecked());
}

TEST_F(CheckList, OnlyTheStateColumnIsCheckableAndEditable)
{
    model.fill(records({{"ZIP", "z"}}), {});
    EXPECT_TRUE(model.flags(model.index(0, CheckListModel::StateColumn)) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(model.flags(model.index(0, CheckListModel::ExtensionColumn)) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(model.setData(model.index(0, CheckListModel::ExtensionColumn), QStringLiteral("X"), Qt::EditRole));
    EXPECT_EQ(model.rows()[0].Extension, QStringLiteral("ZIP"));
    EXPECT_EQ(model.headerData(CheckListModel::StateColumn, Qt::Horizontal, CheckListModel::IdentifierRole),
              QStringLiteral("State"));
    EXPECT_EQ(model.headerData(CheckListModel::ThoroColumn, Qt::Horizontal, CheckListModel::IdentifierRole),
              QStringLiteral("Thoro"));
}

TEST_F(CheckList, HandOverDropsEveryRecordOfAnUncheckedTypeOnly)
{
    const Records general = records({{"MOV", "a"}, {"AVI", "b"}, {"MOV", "c"}, {"MP4", "d"}});
    const Records thorough = records({{"MOV", "e"}, {"MTS", "f"}});
    model.fill(general, thorough);
    model.Select_Unselect(false);
    ASSERT_TRUE(model.setData(model.index(0, CheckListModel::StateColumn), Qt::Checked, Qt::CheckStateRole)); // MOV
    const Records kept = model.withoutUncheckedTypes(general);
    ASSERT_EQ(kept.size(), 14u);
    EXPECT_EQ(kept[5], "a");
    EXPECT_EQ(kept[12], "c");
    const Records keptThorough = model.withoutUncheckedTypes(thorough);
    ASSERT_EQ(keptThorough.size(), 7u);
    EXPECT_EQ(keptThorough[5], "e");
}

} // namespace
} // namespace salvyn
