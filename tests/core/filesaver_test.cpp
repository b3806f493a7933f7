#include "results/filesaver.h"

#include "results/recoveryreport.h"
#include "failingwriter.h"
#include "scantestsupport.h"
#include "scratchfolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace salvyn {
namespace {

namespace fs = std::filesystem;

using namespace test;
using Names = std::vector<std::string>;

// A card of filled sectors (every one different), opened, and a folder to save into.
class FileSaverTest : public ::testing::Test {
protected:
    FileSaverTest()
    {
        memory.addImage("card", image.fill(0, 1100).bytes());
        medium = memory.open("card").stream;
    }

    test::ScratchFolder folder;
    test::DiskImage image{1100};
    MemorySectorOpener memory;
    std::unique_ptr<SectorStream> medium;
};

TEST_F(FileSaverTest, PhotoBytesAreWrittenWithTheUsersPermissionsAndDescribed)
{
    FileSaver saver(folder.path());
    const SavedFile saved = saver.saveBytes("GND00001.JPG", 100, 103, 3 * kSectorSize, *medium);
    EXPECT_EQ(saved.error + saved.savedPath.string(), (folder.path() / "GND00001.JPG").string());
    EXPECT_EQ(contentOf(saved.savedPath), image.sectors(100, 103));
    EXPECT_EQ(reportLine(saved, "/cards/a.img"),
              "GND00001.JPG\tJPG\t100\t103\t1536\t" + test::sha256Of(image.sectors(100, 103)) + "\t\t/cards/a.img\t\t");
    // As the umask says, so the person recovering can open them like their other files.
    const mode_t umask = ::umask(0);
    ::umask(umask);
    struct stat info {};
    ASSERT_EQ(::stat(saved.savedPath.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0666u & ~umask);
}

// A group of one type gives the same name twice: both files are kept.
TEST_F(FileSaverTest, ExistingFilesAndLinksAreNeverReplaced)
{
    folder.write("MP400001.MP4", "keep me");
    fs::create_symlink(folder.path() / "elsewhere", folder.path() / "MP400001-2.MP4");
    FileSaver saver(folder.path());
    EXPECT_EQ(saver.saveSectors("MP400001.MP4", 0, 1, *medium).name, "MP400001-3.MP4");
    EXPECT_EQ(test::textOf(folder.path() / "MP400001.MP4"), "keep me");
    EXPECT_FALSE(fs::exists(folder.path() / "elsewhere"));
    EXPECT_EQ(saver.saveSectors("MP400001.MP4", 1, 2, *medium).name, "MP400001-4.MP4");
}

TEST_F(FileSaverTest, NamesFromTheListsCannotLeaveTheFolder)
{
    for (const auto& [name, safe] : {std::pair("X/../../Y00001.X/../../Y", "X_.._.._Y00001.X_.._.._Y"),
                                     std::pair("..", "found.."), std::pair("", "found"), std::pair("A\nB\x7f", "A_B_")})
        EXPECT_EQ(safeFileName(name), safe);
    fs::create_directory(folder.path() / "out");
    FileSaver saver(folder.path() / "out");
    EXPECT_EQ(saver.saveSectors("../escape.JPG", 0, 1, *medium).savedPath, folder.path() / "out" / ".._escape.JPG");
    EXPECT_FALSE(fs::exists(folder.path() / "escape.JPG"));
}

TEST_F(FileSaverTest, WithoutAFolderFilesAreOnlyMeasured)
{
    FileSaver measuring(std::nullopt);
    const SavedFile saved = measuring.saveSectors("WAV00001.WAV", 4, 9, *medium);
    EXPECT_TRUE(saved.savedPath.empty());
    EXPECT_EQ(reportLine(saved, "sdb1"), "WAV00001.WAV\tWAV\t4\t9\t2560\t" + test::sha256Of(image.sectors(4, 9)) + "\t\tsdb1\t\t");
}

TEST_F(FileSaverTest, AFileGrowsUnderAHiddenNameAndAppearsWhole)
{
    FileSaver saver(folder.path());
    std::vector<Names> seenWhileWriting;
    saver.setKeepGoing([&](std::uint64_t) { seenWhileWriting.push_back(namesIn(folder.path())); return true; });
    const SavedFile saved = saver.saveSectors("MP400001.MP4", 0, 600, *medium);
    EXPECT_EQ(seenWhileWriting, std::vector<Names>(3, Names{".MP400001.MP4.part"})); // 256 + 256 + 88 sectors
    EXPECT_EQ(namesIn(folder.path()), Names{"MP400001.MP4"});
    EXPECT_EQ(contentOf(saved.savedPath), image.sectors(0, 600));
}

// The copy stops at the failure instead of reading on.
TEST_F(FileSaverTest, OutOfSpaceLeavesNothingAndNamesTheFile)
{
    test::FailingWriter writer;
    writer.bytesAllowed = 300 * kSectorSize;
    FileSaver saver(folder.path(), writer);
    std::uint64_t piecesSeen = 0;
    saver.setKeepGoing([&](std::uint64_t) { return ++piecesSeen > 0; });
    const SavedFile saved = saver.saveSectors("AVI00001.AVI", 0, 600, *medium);
    EXPECT_EQ(saved.errorNumber, ENOSPC);
    EXPECT_EQ(saved.error, "cannot write " + (folder.path() / "AVI00001.AVI").string() + ": No space left on device");
    EXPECT_TRUE(saved.savedPath.empty());
    EXPECT_EQ(piecesSeen, 1u);
    EXPECT_TRUE(namesIn(folder.path()).empty());

    writer.createError = EACCES;
    const SavedFile refused = saver.saveBytes("GND00001.JPG", 4, 5, kSectorSize, *medium);
    EXPECT_EQ(refused.errorNumber, EACCES);
    EXPECT_EQ(refused.error, "cannot write " + (folder.path() / "GND00001.JPG").string() + ": Permission denied");
    EXPECT_TRUE(namesIn(folder.path()).empty());
}

TEST_F(FileSaverTest, GivingUpMidFileLeavesNothingOfIt)
{
    folder.write("GND00001.JPG", "older");
    FileSaver saver(folder.path());
    int pieces = 0;
    saver.setKeepGoing([&](std::uint64_t bytes) {
        EXPECT_EQ(bytes, 256 * kSectorSize);
        return ++pieces < 2;
    });
    const SavedFile saved = saver.saveSectors("GND00001.JPG", 0, 1024, *medium);
    EXPECT_TRUE(saved.cancelled && saved.error.empty() && saved.savedPath.empty());
    EXPECT_EQ(pieces, 2);
    EXPECT_EQ(namesIn(folder.path()), Names{"GND00001.JPG"});
    EXPECT_EQ(test::textOf(folder.path() / "GND00001.JPG"), "older");
}

} // namespace
} // namespace salvyn
