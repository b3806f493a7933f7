// The criteria screen. The range controls: sliders and fields follow each other without
// feeding back, exactly up to INT_MAX sectors and proportionally above. The file-type check
// list: rows from both lists of a mode, the sort and select-all, with the model's
// invariants checked while rows change.
#include "app/criteriascreen.h"
#include "signatures/qt/checklistmodel.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <climits>

namespace salvyn {
namespace {

struct RangeControls : ::testing::Test {
    void enter(const char* sectors)
    {
        screen.enterFromMedium(QStringLiteral("sdb1"), QStringLiteral("CARD"), QStringLiteral("MS-DOS (FAT32)"),
                               QStringLiteral("1.00 GB "), QString::fromLatin1(sectors));
        screen.Sector_Range_Radio();
    }
    QLineEdit* field(const char* name) const { return window.findChild<QLineEdit*>(QString::fromLatin1(name)); }
    QSlider* slider(const char* name) const { return window.findChild<QSlider*>(QString::fromLatin1(name)); }

    QWidget window;
    CriteriaScreen screen{&window, QStringLiteral("_Sig"), false};
};

TEST_F(RangeControls, FieldsAndSlidersFollowEachOtherAndEntireDiskThenSectorRangeStartsFromTheWholeMedium)
{
    enter("1000");
    slider("_Start_Slider_Sig")->setValue(250);
    EXPECT_EQ(field("_Start_slider_val_Sig")->text(), QStringLiteral("250"));
    QLineEdit* end = field("_End_slider_val_Sig");
    end->clear(), QTest::keyClicks(end, QStringLiteral("00500"));
    EXPECT_EQ(slider("_End_Slider_Sig")->value(), 500);
    EXPECT_EQ(end->text(), QStringLiteral("00500"));
    QTest::keyClicks(end, QStringLiteral("0")); // 005000 lies beyond the medium
    EXPECT_EQ(slider("_End_Slider_Sig")->value(), 500);
    EXPECT_EQ(end->text(), QStringLiteral("005000"));

    // Entire disk shows the disk values as plain text; sector range starts again from the whole medium.
    field("_Start_slider_val_Sig")->setText(QStringLiteral("5"));
    screen.Entire_Disk_Radio();
    window.show();
    EXPECT_TRUE(window.findChild<QLabel*>(QStringLiteral("_disk_val_Sig"))->isVisibleTo(&window));
    EXPECT_FALSE(slider("_Start_Slider_Sig")->isVisibleTo(&window));
    const QLabel* volumeName = window.findChild<QLabel*>(QStringLiteral("_vol_name_val_Sig"));
    EXPECT_TRUE(volumeName->text() == QStringLiteral("CARD") && volumeName->textFormat() == Qt::PlainText); // never markup
    screen.Sector_Range_Radio();
    EXPECT_EQ(field("_Start_slider_val_Sig")->text() + ".." + field("_End_slider_val_Sig")->text(), "0..1000");

    // Big media scale the sliders but keep exact texts.
    enter("5000000000");
    EXPECT_EQ(slider("_End_Slider_Sig")->maximum(), INT_MAX);
    EXPECT_EQ(field("_End_slider_val_Sig")->text(), QStringLiteral("5000000000"));
    slider("_End_Slider_Sig")->setValue(INT_MAX / 2);
    EXPECT_NEAR(field("_End_slider_val_Sig")->text().toDouble(), 2500000000.0, 3.0);
    slider("_End_Slider_Sig")->setValue(INT_MAX);
    EXPECT_EQ(field("_End_slider_val_Sig")->text(), QStringLiteral("5000000000"));
    QLineEdit* start = field("_Start_slider_val_Sig");
    start->clear(), QTest::keyClicks(start, QStringLiteral("4000000000"));
    EXPECT_EQ(start->text(), QStringLiteral("4000000000"));
    EXPECT_NEAR(slider("_Start_Slider_Sig")->value(), INT_MAX * 0.8, 2.0);
}

using Records = CheckListModel::Records;

Records records(std::initializer_list<std::pair<const char*, const char*>> typesAndDescriptions)
{
    Records list;
    for (const auto& [type, description] : typesAndDescriptions)
        list.insert(list.end(), {type, "18874368", "00", "1", "-", description, "0"});
    return list;
}

struct CheckList : ::testing::Test {
    QString extensions() const
    {
        QStringList names;
        for (const CheckListRow& row : model.rows())
            names << row.Extension;
        return names.join(u' ');
    }
    CheckListModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(CheckList, OneRowPerTypeThoroughOnlyMarkedSortKeepsEqualNamesSelectAllKeepsTheOrderOnlyStateEditable)
{
    model.fill(records({{"AVI", "first AVI"}, {"AVI", "second AVI"}}),
               records({{"AVI", "thorough AVI"}, {"MTS", "transport stream"}}));
    ASSERT_EQ(extensions(), QStringLiteral("AVI MTS"));
    EXPECT_EQ(model.rows()[0].Description + u'/' + model.rows()[0].Thoro + u'/' + model.rows()[1].Thoro, "first AVI//YES");
    EXPECT_TRUE(model.rows()[1].State);
    EXPECT_EQ(model.data(model.index(1, CheckListModel::ThoroColumn), Qt::DisplayRole).toString(), QStringLiteral("YES"));
    EXPECT_EQ(model.data(model.index(0, CheckListModel::StateColumn), Qt::CheckStateRole).toInt(), Qt::Checked);

    // The sort ignores case and keeps the order of equal names.
    model.fill(records({{"mp3", "lower"}, {"MP3", "upper"}, {"wav", ""}, {"AAC", ""}}), records({{"Mp3", "mixed"}}));
    model.sortByExtension();
    EXPECT_EQ(extensions(), QStringLiteral("AAC mp3 MP3 Mp3 wav"));
    model.fill({}, {});
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.Check_For_One_Extension_Selection());

    // Select all and unselect all keep the order; only the state is editable.
    model.fill(records({{"ZIP", "z"}, {"DOC", "d"}, {"PDF", "p"}}), {});
    model.Select_Unselect(false);
    EXPECT_EQ(extensions(), QStringLiteral("ZIP DOC PDF"));
    EXPECT_FALSE(model.Check_For_One_Extension_Selection());
    EXPECT_TRUE(model.anyUnchecked());
    EXPECT_EQ(model.rows()[1].Description, QStringLiteral("d"));
    ASSERT_TRUE(model.setData(model.index(2, CheckListModel::StateColumn), Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(model.Check_For_One_Extension_Selection());
    model.Select_Unselect(true);
    EXPECT_FALSE(model.anyUnchecked());
    // Only the state column is checkable and editable.
    EXPECT_TRUE(model.flags(model.index(0, CheckListModel::StateColumn)) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(model.flags(model.index(0, CheckListModel::ExtensionColumn)) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(model.setData(model.index(0, CheckListModel::ExtensionColumn), QStringLiteral("X"), Qt::EditRole));
    EXPECT_EQ(model.rows()[0].Extension, QStringLiteral("ZIP"));
}

} // namespace
} // namespace salvyn
