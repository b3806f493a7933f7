// The results table: its two columns, rows asked for that are gone, counts arriving from
// the search thread, and a new search starting the counts again.
#include "results/ui/resultstablemodel.h"

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QSignalSpy>
#include <QThread>
#include <gtest/gtest.h>

#include <memory>

namespace salvyn {
namespace {

QString cell(const ResultsTableModel& table, int row, int column)
{
    return table.data(table.index(row, column)).toString();
}

TEST(ResultsTableModel, ShowsTypeAndCountUnderTheKeysAsColumnIdentifiers)
{
    ResultsTableModel table;
    table.createSignatureListTableRecord(QStringLiteral("AVI"), 0, {}, {}, QStringLiteral("AVI"));
    table.createSignatureListTableRecord(QStringLiteral("MOV"), 7, {}, {}, QStringLiteral("MOV"));
    ASSERT_EQ(table.columnCount(), 2);
    EXPECT_EQ(table.headerData(0, Qt::Horizontal, ResultsTableModel::ColumnIdentifierRole),
              QStringLiteral("FileTypes"));
    EXPECT_EQ(table.headerData(1, Qt::Horizontal, ResultsTableModel::ColumnIdentifierRole),
              QStringLiteral("NoOfFile"));
    EXPECT_EQ(cell(table, 1, 0), QStringLiteral("MOV"));
    EXPECT_EQ(cell(table, 1, 1), QStringLiteral("7"));
    EXPECT_FALSE(table.flags(table.index(0, 1)).testFlag(Qt::ItemIsEditable));
    EXPECT_FALSE(table.setData(table.index(0, 1), QStringLiteral("99")));
    EXPECT_EQ(cell(table, 0, 1), QStringLiteral("0"));
}

TEST(ResultsTableModel, ANewSearchDropsTheRowsAndStartsEachAgainAtZero)
{
    ResultsTableModel table;
    table.createSignatureListTableRecord(QStringLiteral("MOV"), 0, {}, {}, QStringLiteral("MOV"));
    table.countFoundFile(QStringLiteral("MOV00001.MOV"));
    const QModelIndex stale = table.index(0, 1);
    QSignalSpy reset(&table, &QAbstractItemModel::modelReset);
    table.clear();
    EXPECT_FALSE(table.data(stale).isValid()) << "a row that is gone gives no value";
    EXPECT_EQ(table.rowCount(), 0);
    table.createSignatureListTableRecord(QStringLiteral("MOV"), 0, {}, {}, QStringLiteral("MOV"));
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(cell(table, 0, 1), QStringLiteral("0"));
    EXPECT_EQ(table.rows().value(0, "FileName"), "");
}

TEST(ResultsTableModel, CountsFromTheSearchThreadReachTheViewAsChangesOfThoseRows)
{
    ResultsTableModel table;
    QAbstractItemModelTester tester(&table, QAbstractItemModelTester::FailureReportingMode::Fatal);
    for (const char* type : {"AVI", "MOV", "MP4"})
        table.createSignatureListTableRecord(type, 0, {}, {}, type);
    QSignalSpy changed(&table, &QAbstractItemModel::dataChanged);
    std::unique_ptr<QThread> worker(QThread::create([&table] {
        for (int i = 0; i < 500; ++i)
            table.countFoundFile(QStringLiteral("MOV%1.MOV").arg(i));
        table.countFoundFile(QStringLiteral("clip.WMV"));
    }));
    worker->start();
    while (!worker->wait(QDeadlineTimer(2))) {
        QCoreApplication::processEvents();
        // The UI thread reads while the worker counts.
        (void)cell(table, 1, 1);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(cell(table, 1, 1), QStringLiteral("500"));
    EXPECT_EQ(cell(table, 0, 1), QStringLiteral("0"));
    EXPECT_EQ(cell(table, 2, 1), QStringLiteral("0"));
    ASSERT_GE(changed.count(), 1);
    for (const QList<QVariant>& change : changed) {
        EXPECT_EQ(change.at(0).toModelIndex().row(), 1);
        EXPECT_EQ(change.at(1).toModelIndex().row(), 1);
    }
}

} // namespace
} // namespace salvyn
