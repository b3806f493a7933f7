#include "results/filesaver.h"

#include "doubles/faultysectorsource.h"
#include "results/recoveryreport.h"
#include "failingwriter.h"
#include "scantestsupport.h"
#include "scratchfolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace salvyn {
namespace {

namespace fs = std::filesystem;

using test::contentOf;
using test::namesIn;

// A card of `sectors` filled sectors, opened.
struct FilledCard {
    explicit FilledCard(std::uint64_t sectors) : image(sectors)
    {
        image.fill(0, sectors);
        memory.addImage("card", image.bytes());
        medium = memory.open("card").stream;
    }
    test::DiskImage image;
    MemorySectorOpener memory;
    std::unique_ptr<SectorStream> medium;
};

// Saves `bytes` as a file found at `firstSector` of a medium that holds them there.
SavedFile saveFound(FileSaver& saver, const std::vector<std::uint8_t>& bytes, const std::string& name,
                    std::uint64_t firstSector)
{
    std::vector<std::uint8_t> image(firstSector * kSectorSize, 0);
    image.insert(image.end(), bytes.begin(), bytes.end());
    MemorySectorOpener memory;
    memory.addImage("card", std::move(image));
    auto medium = memory.open("card").stream;
    return saver.saveBytes(name, firstSector, firstSector + bytes.size() / kSectorSize, bytes.size(), *medium);
}

TEST(FileSaver, PhotoBytesAreWrittenWithTheUsersPermissionsAndDescribed)
{
    test::ScratchFolder folder;
    FileSaver saver(folder.path());
    const std::vector<std::uint8_t> bytes(3 * kSectorSize, 0x42);
    const SavedFile saved = saveFound(saver, bytes, "GND00001.JPG", 100);
    EXPECT_EQ(saved.error + saved.savedPath.string(), (folder.path() / "GND00001.JPG").string());
    EXPECT_EQ(contentOf(saved.savedPath), bytes);
    EXPECT_EQ(reportLine(saved, "/cards/a.img"), "GND00001.JPG\tJPG\t100\t103\t1536\t" + test::sha256Of(bytes) + "\t\t/cards/a.img");
    // As the umask says, so the person recovering can open them like their other files.
    const mode_t umask = ::umask(0);
    ::umask(umask);
    struct stat info {};
    ASSERT_EQ(::stat(saved.savedPath.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0666u & ~umask);
}

TEST(FileSaver, ExistingFilesAndLinksAreNeverReplaced)
{
    test::ScratchFolder folder;
    folder.write("MP400001.MP4", "keep me");
    fs::create_symlink(folder.path() / "elsewhere", folder.path() / "MP400001-2.MP4");
    FileSaver saver(folder.path());
    const SavedFile saved = saveFound(saver, std::vector<std::uint8_t>(kSectorSize, 1), "MP400001.MP4", 0);
    EXPECT_EQ(saved.name, "MP400001-3.MP4");
    EXPECT_EQ(contentOf(folder.path() / "MP400001.MP4"), (std::vector<std::uint8_t>{'k', 'e', 'e', 'p', ' ', 'm', 'e'}));
    EXPECT_FALSE(fs::exists(folder.path() / "elsewhere"));
    // A group of one type gives the same name twice: both files are kept.
    EXPECT_EQ(saveFound(saver, std::vector<std::uint8_t>(kSectorSize, 2), "MP400001.MP4", 0).name, "MP400001-4.MP4");
}

TEST(FileSaver, NamesFromTheListsCannotLeaveTheFolder)
{
    EXPECT_EQ(safeFileName("X/../../Y00001.X/../../Y"), "X_.._.._Y00001.X_.._.._Y");
    EXPECT_EQ(safeFileName(".."), "found..");
    EXPECT_EQ(safeFileName(""), "found");
    EXPECT_EQ(safeFileName("A\nB\x7f"), "A_B_");
    test::ScratchFolder folder;
    FileSaver saver(folder.path() / "out");
    fs::create_directory(folder.path() / "out");
    const SavedFile saved = saveFound(saver, std::vector<std::uint8_t>(kSectorSize, 1), "../escape.JPG", 0);
    EXPECT_EQ(saved.savedPath, folder.path() / "out" / ".._escape.JPG");
    EXPECT_FALSE(fs::exists(folder.path() / "escape.JPG"));
}

TEST(FileSaver, WithoutAFolderFilesAreOnlyMeasured)
{
    FilledCard card(20);
    FileSaver measuring(std::nullopt);
    const SavedFile saved = measuring.saveSectors("WAV00001.WAV", 4, 9, *card.medium);
    EXPECT_TRUE(saved.savedPath.empty());
    EXPECT_EQ(reportLine(saved, "sdb1"), "WAV00001.WAV\tWAV\t4\t9\t2560\t" + test::sha256Of(card.image.sectors(4, 9)) + "\t\tsdb1");
}

TEST(FileSaver, AFileGrowsUnderAHiddenNameAndAppearsWhole)
{
    FilledCard card(600);
    test::ScratchFolder folder;
    FileSaver saver(folder.path());
    std::vector<std::vector<std::string>> seenWhileWriting;
    saver.setKeepGoing([&](std::uint64_t) {
        seenWhileWriting.push_back(namesIn(folder.path()));
        return true;
    });
    const SavedFile saved = saver.saveSectors("MP400001.MP4", 0, 600, *card.medium);
    ASSERT_EQ(seenWhileWriting.size(), 3u); // 256 + 256 + 88 sectors
    for (const auto& names : seenWhileWriting)
        EXPECT_EQ(names, std::vector<std::string>{".MP400001.MP4.part"});
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"MP400001.MP4"});
    EXPECT_EQ(contentOf(saved.savedPath), card.image.sectors(0, 600));
}

TEST(FileSaver, OutOfSpaceLeavesNothingAndNamesTheFile)
{
    FilledCard card(600);
    test::ScratchFolder folder;
    test::FailingWriter writer;
    writer.failWritesAfter(300 * kSectorSize);
    FileSaver saver(folder.path(), writer);
    std::uint64_t piecesSeen = 0;
    saver.setKeepGoing([&](std::uint64_t) { return ++piecesSeen > 0; });

    const SavedFile saved = saver.saveSectors("AVI00001.AVI", 0, 600, *card.medium);
    EXPECT_EQ(saved.errorNumber, ENOSPC);
    EXPECT_EQ(saved.error, "cannot write " + (folder.path() / "AVI00001.AVI").string() + ": No space left on device");
    EXPECT_TRUE(saved.savedPath.empty());
    EXPECT_EQ(piecesSeen, 1u); // the copy stops at the failure instead of reading on
    EXPECT_TRUE(namesIn(folder.path()).empty());

    writer.failCreates(EACCES);
    const SavedFile refused = saveFound(saver, std::vector<std::uint8_t>(kSectorSize, 7), "GND00001.JPG", 4);
    EXPECT_EQ(refused.errorNumber, EACCES);
    EXPECT_EQ(refused.error, "cannot write " + (folder.path() / "GND00001.JPG").string() + ": Permission denied");
    EXPECT_TRUE(namesIn(folder.path()).empty());
}

TEST(FileSaver, GivingUpMidFileLeavesNothingOfIt)
{
    test::ScratchFolder folder;
    folder.write("GND00001.JPG", "older");
    FileSaver saver(folder.path());
    int pieces = 0;
    saver.setKeepGoing([&](std::uint64_t bytes) {
        EXPECT_EQ(bytes, 256 * kSectorSize);
        return ++pieces < 2;
    });
    const SavedFile saved = saveFound(saver, std::vector<std::uint8_t>(1024 * kSectorSize, 9), "GND00001.JPG", 0);
    EXPECT_TRUE(saved.cancelled && saved.error.empty() && saved.savedPath.empty());
    EXPECT_EQ(pieces, 2);
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"GND00001.JPG"});
    EXPECT_EQ(contentOf(folder.path() / "GND00001.JPG"), (std::vector<std::uint8_t>{'o', 'l', 'd', 'e', 'r'}));
}

} // namespace
} // namespace salvyn
