// The found-file list: what each add makes, the count in the results table, the pictures
// per mode, the scroll cadence, and finds streaming in from a search thread.
#include "results/ui/foundfilelist.h"
#include "results/ui/resultstablemodel.h"
#include "resultsuifakes.h"

#include <QtTest>
#include <QtWidgets>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>

namespace salvyn {
namespace {

using testing::FakeIconProvider;
using testing::twoColourJpeg;

const QByteArray kNoPreviewBytes = testing::encodeImage(QImage(8, 8, QImage::Format_RGB32), "PNG");

struct FoundFiles : ::testing::Test {
    FoundFiles()
    {
        images.setNull_Image_Data(kNoPreviewBytes);
        for (const char* type : {"MOV", "mp4", "MP4"})
            table.createSignatureListTableRecord(type, 0, {}, {}, type);
    }

    QString count(int row) const { return table.data(table.index(row, 1)).toString(); }
    QVariant picture(int row) const { return images.data(images.index(row), Qt::DecorationRole); }
    QString name(int row) const { return images.data(images.index(row)).toString(); }

    std::atomic<int> recoveryMode{0};
    FakeIconProvider icons;
    ResultsTableModel table;
    FoundFileList images{icons, table, [this] { return recoveryMode.load(); }};
};

TEST_F(FoundFiles, APhotoBecomesARecordWithItsThumbnailAndSectorsAndTheCallersBufferMayBeReusedAtOnce)
{
    const QByteArray jpeg = twoColourJpeg(640, 480) + QByteArray(512 * 3, '\0');
    std::vector<char> searchBuffer(jpeg.begin(), jpeg.end());
    images.addImageWithData(QByteArray::fromRawData(searchBuffer.data(), qsizetype(searchBuffer.size())),
                            QStringLiteral("GND00001.JPG"), QStringLiteral("GND00001.JPG"), 100);
    std::fill(searchBuffer.begin(), searchBuffer.end(), '\0');
    images.flushPending();
    ASSERT_EQ(images.rowCount(), 1);
    EXPECT_EQ(images.imageAt(0).File_End_Sector, 100u + std::uint64_t(jpeg.size()) / 512);
    QImage thumbnail;
    ASSERT_TRUE(thumbnail.loadFromData(images.imageAt(0).imageData, "JPEG"));
    EXPECT_EQ(thumbnail.size(), QSize(256, 192));
}

TEST_F(FoundFiles, EmptyBytesAndBlankNamesAddNothingBytesThatAreNoPictureShowTheFallback)
{
    images.addImageWithData(QByteArray(), QStringLiteral("GND00001.JPG"), QStringLiteral("u1"));
    images.addImageWithData(QByteArray(2048, '\x07'), QStringLiteral("GND00002.JPG"), QStringLiteral("u2"));
    images.addImageWithData_2(QStringLiteral(" \t\n"), QStringLiteral("x"), 1, 2);
    images.addImageWithData_2(QString(), QStringLiteral("x"), 1, 2);
    images.flushPending();
    ASSERT_EQ(images.rowCount(), 1);
    EXPECT_EQ(images.imageAt(0).imageData, kNoPreviewBytes);
    EXPECT_EQ(picture(0).value<QPixmap>().size(), QSize(8, 8));
}

TEST_F(FoundFiles, AnOtherFileIsTrimmedAndCountedByItsExactExtensionBeforeTheAddReturns)
{
    images.addImageWithData_2(QStringLiteral("  MOV00001.MOV\n"), QStringLiteral("MOV00001.MOV"), 2048, 2100);
    // Naming reads the count for the next file straight away, before the list shows it.
    EXPECT_EQ(table.rows().noOfFileFor("MOV"), 1u);
    EXPECT_EQ(images.rowCount(), 0);
    images.addImageWithData_2(QStringLiteral("mp400001.mp4"), QStringLiteral("mp400001.mp4"), 5, 9);
    images.addImageWithData_2(QStringLiteral("WAV00001.WAV"), QStringLiteral("WAV00001.WAV"), 1, 2); // no row
    images.flushPending();

    ASSERT_EQ(images.rowCount(), 3);
    EXPECT_EQ(images.imageAt(0).path, QStringLiteral("MOV00001.MOV"));
    EXPECT_EQ(images.imageAt(0).image.toImage().pixelColor(8, 8), QColor(Qt::red));
    // "mp4" and "MP4" are different rows: only the exact one counts.
    EXPECT_EQ(QStringList({count(0), count(1), count(2)}), QStringList({"1", "1", "0"}));
    EXPECT_EQ(table.rowCount(), 3);
}

TEST_F(FoundFiles, ThePictureFollowsTheRecoveryModeAtTheTimeItIsAskedFor)
{
    images.addImageWithData(twoColourJpeg(300, 300), QStringLiteral("GND00001.JPG"), QStringLiteral("u"));
    images.addImageWithData_2(QStringLiteral("MOV00001.MOV"), QStringLiteral("MOV00001.MOV"), 0, 1);
    images.flushPending();
    for (const int mode : {0, 1}) {
        recoveryMode = mode;
        EXPECT_EQ(picture(mode).value<QPixmap>().size(), mode == 0 ? QSize(256, 256) : QSize(64, 64));
        EXPECT_FALSE(picture(1 - mode).isValid());
    }
    EXPECT_EQ(images.data(images.index(5), Qt::DisplayRole), QVariant());
}

TEST_F(FoundFiles, EverySixthPhotoAndEveryFourthOtherFileAsksForTheEndToBeShown)
{
    QSignalSpy due(&images, &FoundFileList::scrollToEndDue);
    for (const bool photos : {true, false}) {
        images.removeAllImages(), images.resetAdded_item_count(), due.clear();
        for (int i = 1; i <= 13; ++i) {
            photos ? images.addImageWithData(QByteArray(16, 'x'), QStringLiteral("p"), QStringLiteral("p"))
                   : images.addImageWithData_2(QStringLiteral("f.MOV"), QStringLiteral("f.MOV"), 0, 1);
            images.flushPending();
        }
        QList<int> rows;
        for (const QList<QVariant>& call : due) {
            EXPECT_EQ(call.at(0).value<FoundFileList::Kind>(), photos ? FoundFileList::Kind::Photo : FoundFileList::Kind::RawFile);
            rows << call.at(1).toInt();
        }
        EXPECT_EQ(rows, (photos ? QList<int>{5, 11} : QList<int>{3, 7, 11}));
    }
}

TEST_F(FoundFiles, ABatchAsksOnceForItsLastDueFindAndKeepsTheOrderOfAdding)
{
    QSignalSpy due(&images, &FoundFileList::scrollToEndDue);
    // A slow photo first: the quick ones behind it must still come after it.
    const auto nameOf = [](int i) { return QStringLiteral("GND%1.JPG").arg(i, 5, 10, QLatin1Char('0')); };
    images.addImageWithData(twoColourJpeg(3000, 2000), nameOf(1), nameOf(1));
    for (int i = 2; i <= 14; ++i)
        images.addImageWithData(twoColourJpeg(20, 20), nameOf(i), nameOf(i));
    images.flushPending();
    ASSERT_EQ(images.rowCount(), 14);
    for (int row = 0; row < 14; ++row)
        EXPECT_EQ(name(row), nameOf(row + 1));
    ASSERT_EQ(due.count(), 1);
    EXPECT_EQ(due.at(0).at(1).toInt(), 11);
}

// Runs `work` on a thread of its own while the UI thread keeps handling events.
void runWhileUiRuns(const std::function<void()>& work)
{
    std::unique_ptr<QThread> worker(QThread::create(work));
    worker->start();
    while (!worker->wait(QDeadlineTimer(5)))
        QCoreApplication::processEvents();
}

TEST_F(FoundFiles, FindsStreamingInFromASearchThreadKeepTheModelsConsistent)
{
    QAbstractItemModelTester listTester(&images, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QAbstractItemModelTester tableTester(&table, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy tableChanged(&table, &QAbstractItemModel::dataChanged);
    const QByteArray photo = twoColourJpeg(120, 90);
    constexpr int kOtherFiles = 3000, kPhotos = 40;
    runWhileUiRuns([&] {
        for (int i = 0; i < kOtherFiles; ++i) {
            const QString n = QStringLiteral("MOV%1.MOV").arg(i);
            images.addImageWithData_2(n, n, std::uint64_t(i), std::uint64_t(i) + 1);
            if (i % 75 == 0)
                images.addImageWithData(photo, QStringLiteral("GND.JPG"), QStringLiteral("GND"));
        }
    });
    images.flushPending();
    QCoreApplication::processEvents();
    ASSERT_EQ(images.rowCount(), kOtherFiles + kPhotos);
    EXPECT_EQ(name(0) + name(1) + name(images.rowCount() - 1), QStringLiteral("MOV0.MOVGND.JPGMOV2999.MOV"));
    EXPECT_EQ(count(0), QString::number(kOtherFiles));
    ASSERT_GE(tableChanged.count(), 1);
    for (const QList<QVariant>& change : tableChanged) // only the counted type's row changes
        EXPECT_EQ(change.at(0).toModelIndex().row() + change.at(1).toModelIndex().row(), 0);
    EXPECT_EQ(images.added_item_count(), std::uint64_t(kOtherFiles + kPhotos));
}

TEST_F(FoundFiles, EmptyingWhileThumbnailsAreBeingMadeLeavesNoLateRows)
{
    runWhileUiRuns([&] {
        for (int i = 0; i < 12; ++i)
            images.addImageWithData(twoColourJpeg(1600, 1200), QStringLiteral("old.JPG"), QStringLiteral("old"));
    });
    images.removeAllImages();
    images.addImageWithData_2(QStringLiteral("new.MOV"), QStringLiteral("new.MOV"), 0, 1);
    images.flushPending();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(QStringList{name(0)} << name(1), (QStringList{QStringLiteral("new.MOV"), QString()}));
}

TEST_F(FoundFiles, AListDestroyedWhileThumbnailsAreBeingMadeWaitsForThem)
{
    auto list = std::make_unique<FoundFileList>(icons, table, [] { return 0; });
    for (int i = 0; i < 6; ++i)
        list->addImageWithData(twoColourJpeg(1200, 900), QStringLiteral("p.JPG"), QStringLiteral("p"));
    list.reset();
    QCoreApplication::processEvents();
}

} // namespace
} // namespace salvyn
