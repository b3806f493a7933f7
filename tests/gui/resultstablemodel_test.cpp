// The results table while counts arrive from the search thread.
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
