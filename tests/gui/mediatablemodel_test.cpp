#include "media/qt/mediatablemodel.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>

namespace salvyn {
namespace {

MyDataObject card(const std::string& identifier, const std::string& name = "CARD")
{
    return MyDataObject(identifier, name, "MS-DOS (FAT32)", "7.45  GB ", "sdb", "15633408");
}

TEST(MediaTableModel, ColumnsCarryTheirIdentifiersAndShowTheRecordTexts)
{
    MediaTableModel model;
    model.append(card("sdb1", "<b>Holiday</b>"));
    ASSERT_EQ(model.columnCount(), 6);
    const QStringList expected{"sdb1", "<b>Holiday</b>", "MS-DOS (FAT32)", "7.45  GB ", "sdb", "15633408"};
    for (int column = 0; column < 6; ++column) {
        EXPECT_EQ(model.headerData(column, Qt::Horizontal, MediaTableModel::ColumnIdentifierRole).toString(),
                  QStringLiteral("Collumn%1").arg(column + 1));
        EXPECT_FALSE(model.headerData(column, Qt::Horizontal).toString().isEmpty());
        EXPECT_EQ(model.data(model.index(0, column)).toString(), expected[column]);
    }
    EXPECT_FALSE(model.headerData(6, Qt::Horizontal, MediaTableModel::ColumnIdentifierRole).isValid());
    EXPECT_EQ(MediaTableModel::columnIdentifier(6), QString());
}

TEST(MediaTableModel, IsReadOnlyAndAnswersNothingOutsideTheList)
{
    MediaTableModel model;
    EXPECT_EQ(model.rowCount(), 0);
    model.append(card("sdb1"));
    const QModelIndex cell = model.index(0, 1);
    EXPECT_FALSE(model.flags(cell) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.setData(cell, QStringLiteral("renamed")));
    EXPECT_EQ(model.data(cell).toString(), QStringLiteral("CARD"));
    EXPECT_FALSE(model.data(model.index(1, 0)).isValid());
    EXPECT_EQ(model.recordAt(1), nullptr);
    EXPECT_EQ(model.recordAt(-1), nullptr);
}

TEST(MediaTableModel, KeepsItsInvariantsThroughAppendRemoveAndClear)
{
    MediaTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    for (const char* name : {"sdb1", "sdc", "mmcblk0p1", "sdd1"})
        model.append(card(name));
    model.removeAt(1);
    model.removeAt(7);
    model.removeAt(-1);
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), QStringLiteral("sdb1"));
    EXPECT_EQ(model.data(model.index(1, 0)).toString(), QStringLiteral("mmcblk0p1"));
    EXPECT_EQ(model.data(model.index(2, 0)).toString(), QStringLiteral("sdd1"));
    model.removeAt(2);
    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
    model.append(card("sde1"));
    EXPECT_EQ(model.rowCount(), 1);
}

} // namespace
} // namespace salvyn
