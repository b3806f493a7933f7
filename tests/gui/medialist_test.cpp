#include "media/qt/loaddrive_modeless.h"
#include "media/qt/medialist.h"
#include "media/qt/mediatablemodel.h"
#include "uiblockmeter.h"

#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>

#include <functional>
#include <map>

namespace salvyn {
namespace {

struct FakeVolumeLister : VolumeLister {
    QStringList mountedRemovableVolumes() override { return whileListing ? whileListing() : void(), volumes; }
    QStringList volumes;
    std::function<void()> whileListing;
};

struct FakeDiskInfoProvider : DiskInfoProvider {
    DiskInfo diskInfo(const QString& designator) override { return asked << designator, answers.contains(designator) ? answers[designator] : DiskInfo{}; }
    std::map<QString, DiskInfo> answers;
    QStringList asked;
};

DiskInfo volume(const std::string& identifier, const std::string& name)
{
    return {{kDeviceIdentifier, identifier}, {kVolumeName, name}, {kIOKitSize, std::uint64_t{8004304896}},
            {kParentWholeDisk, identifier.substr(0, 3)}, {kFilesystemUserVisibleName, std::string("ExFAT")}};
}

TEST(MediaTableModel, ShowsTheRecordTextsReadOnlyAndKeepsItsInvariants)
{
    MediaTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    for (const char* name : {"sdb1", "sdc", "mmcblk0p1", "sdd1"})
        model.append(MyDataObject(name, "<b>Holiday</b>", "MS-DOS (FAT32)", "7.45  GB ", "sdb", "15633408"));
    const QModelIndex cell = model.index(0, 1);
    EXPECT_FALSE(model.flags(cell) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.setData(cell, QStringLiteral("renamed")));
    EXPECT_EQ(model.data(cell).toString(), QStringLiteral("<b>Holiday</b>"));
    EXPECT_FALSE(model.data(model.index(4, 0)).isValid());
    EXPECT_EQ(model.recordAt(-1), nullptr);
    for (const int row : {1, 7, -1})
        model.removeAt(row);
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.data(model.index(1, 0)).toString(), QStringLiteral("mmcblk0p1"));
}

struct MediaListTest : ::testing::Test {
    MediaListTest()
    {
        auto lister = std::make_unique<FakeVolumeLister>();
        auto provider = std::make_unique<FakeDiskInfoProvider>();
        volumes = lister.get(), disks = provider.get();
        mediaList = std::make_unique<MediaList>(std::move(lister), std::move(provider));
        mediaList->setControlPanel(&controlPanel);
        mediaList->setIdTableView(&table);
        disks->answers = {{"/media/anna/KINGSTON", volume("sdb1", "KINGSTON")},
                          {"/media/anna/EOS", volume("mmcblk0p1", "EOS")},
                          {"/media/anna/BACKUP", volume("sdc1", "BACKUP")}};
    }

    // A refresh, waited for while the UI thread serves its events.
    void reload()
    {
        mediaList->Reload_Drive_list_Function();
        ASSERT_TRUE(QTest::qWaitFor([this] { return !mediaList->isReloading(); }, 30000));
    }

    QStringList identifiers() const
    {
        QStringList shown;
        for (int row = 0; row < table.model()->rowCount(); ++row)
            shown << table.model()->index(row, 0).data().toString();
        return shown;
    }

    QWidget controlPanel;
    QTableView table{&controlPanel};
    FakeVolumeLister* volumes = nullptr;
    FakeDiskInfoProvider* disks = nullptr;
    std::unique_ptr<MediaList> mediaList;
};

TEST_F(MediaListTest, ListsVolumesInTheListersOrderLessThoseThatMayNotBeSearched)
{
    (disks->answers["/media/anna/PHOTOS"] = volume("sr0", "PHOTOS"))[kOpticalDeviceType] = std::string("CD-ROM");
    (disks->answers["/media/anna/CAMERA"] = volume("loop0p1", "CAMERA"))[kBusProtocol] = std::string("Disk Image");
    volumes->volumes = {"/media/anna/EOS", "/media/anna/PHOTOS", "/media/anna/CAMERA", "/media/anna/UNKNOWN",
                        "/media/anna/KINGSTON"};
    reload();
    EXPECT_EQ(disks->asked, volumes->volumes);
    EXPECT_EQ(identifiers(), (QStringList{"mmcblk0p1", "sdb1"}));
    ASSERT_EQ(mediaList->nsMutaryOfDataObject().size(), 2u);
    EXPECT_EQ(mediaList->nsMutaryOfDataObject()[1].nsStrSectors(), "15633408");
}

TEST_F(MediaListTest, RefreshKeepsTheSelectedRowIndexWhileTheListIsLongEnough)
{
    QAbstractItemModelTester tester(mediaList->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    volumes->volumes = {"/media/anna/KINGSTON", "/media/anna/EOS", "/media/anna/BACKUP"}, reload();
    table.selectRow(1);
    ASSERT_EQ(mediaList->selectedRow(), 1);

    // The stick was pulled: the row index stays, so the row now holds the next medium.
    volumes->volumes = {"/media/anna/EOS", "/media/anna/BACKUP"}, reload();
    ASSERT_EQ(mediaList->selectedRow(), 1);
    EXPECT_EQ(mediaList->selectedRecord()->nsStrDiskIdentifier(), "sdc1");

    volumes->volumes = {"/media/anna/EOS"}, reload();
    EXPECT_TRUE(mediaList->selectedRow() == -1 && mediaList->selectedRecord() == nullptr);

    volumes->volumes = {"/media/anna/EOS", "/media/anna/BACKUP"}, reload();
    EXPECT_EQ(mediaList->selectedRow(), -1);
}

TEST_F(MediaListTest, ASlowListingWaitsBehindTheSheetWhileTheWindowGoesOnAndARefreshAskedMeanwhileFollows)
{
    // A slow lsblk: the lister takes a second on the worker.
    std::atomic<int> listings = 0;
    volumes->whileListing = [&] { ++listings, QThread::msleep(1000); };
    volumes->volumes = {"/media/anna/EOS"};
    const testing::UiBlockMeter meter;
    mediaList->Reload_Drive_list_Function();
    auto* sheet = controlPanel.findChild<LoadDrive_Modeless*>(QStringLiteral("LoadDisk_Window"));
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible() && sheet->windowModality() == Qt::WindowModal);
    mediaList->Reload_Drive_list_Function(); // the button pressed again: once more after this one
    ASSERT_TRUE(QTest::qWaitFor([this] { return !mediaList->isReloading(); }, 30000));
    EXPECT_LT(meter.longestGapMs(), testing::UiBlockMeter::kLongestStallMs) << "the UI thread stood still that long";
    EXPECT_EQ(listings, 2);
    EXPECT_EQ(identifiers(), QStringList{"mmcblk0p1"});
    EXPECT_FALSE(sheet->isVisible());
}

TEST_F(MediaListTest, DiskImagesAreAddedAndStayAcrossRefreshesWhileReadableAndListedDeletingNeedsASelection)
{
    QTemporaryDir folder;
    const auto writtenImage = [&](const char* name, int bytes) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(QByteArray(bytes, '\0')) == bytes);
        return file.fileName();
    };
    const QString image = writtenImage("card.img", 4096);
    volumes->volumes = {"/media/anna/EOS"}, reload();
    EXPECT_FALSE(mediaList->addDiskImage(image));
    mediaList->deleteSelectedRow(); // nothing selected: nothing goes
    EXPECT_EQ(identifiers(), (QStringList{"mmcblk0p1", image}));
    EXPECT_EQ(mediaList->nsMutaryOfDataObject()[1].nsStrSectors(), "8");

    const auto listed = mediaList->addDiskImage(image), unsearchable = mediaList->addDiskImage(folder.path());
    ASSERT_TRUE(listed && unsearchable);
    EXPECT_NE(listed->headline, unsearchable->headline); // an image listed twice is not one that cannot be searched
    EXPECT_EQ(table.model()->rowCount(), 2);

    volumes->volumes = {"/media/anna/KINGSTON", "/media/anna/EOS"}, reload();
    EXPECT_EQ(identifiers(), (QStringList{"sdb1", "mmcblk0p1", image}));

    ASSERT_TRUE(QFile::remove(image));
    reload();
    EXPECT_EQ(identifiers(), (QStringList{"sdb1", "mmcblk0p1"}));

    // A disk image deleted from the list does not come back at the next refresh.
    const QString stick = writtenImage("stick.dd", 512);
    ASSERT_FALSE(mediaList->addDiskImage(stick));
    table.selectRow(2);
    mediaList->deleteSelectedRow();
    reload();
    EXPECT_EQ(identifiers(), (QStringList{"sdb1", "mmcblk0p1"}));
    EXPECT_FALSE(mediaList->addDiskImage(stick));
}

} // namespace
} // namespace salvyn
