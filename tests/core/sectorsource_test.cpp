// Opening a medium: device names, disk image files and their media records, the sector
// stream and the privileged helper for devices the user may not read.
#include "media/diskimage.h"
#include "platform/pairedread.h"
#include "platform/rawdevicepath.h"
#include "platform/rawsectoropener.h"
#include "platform/rawsectorstream.h"
#include "scratchfolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace salvyn {
namespace {

TEST(RawDevicePath, KernelNamesBecomeDevicePathsAndAnythingElseIsRefused)
{
    for (const char* name : {"sdb1", "mmcblk0p1", "dm-3", "nvme0n1p2"})
        EXPECT_EQ(rawDevicePath(name), std::string("/dev/") + name);
    EXPECT_EQ(rawDevicePath("/home/ann/card.img"), "/home/ann/card.img");
    for (const char* bad : {"", ".", "..", "../etc/passwd", "sdb/1", "sd b", "sdb1\n", "~root", "sdb1;rm"})
        EXPECT_EQ(rawDevicePath(bad), std::nullopt) << bad;
}

// An image whose every sector starts with its own number, with a partial sector at the end.
std::string numberedImage(const test::ScratchFolder& folder, std::uint64_t sectors, std::size_t tailBytes)
{
    std::string bytes(sectors * kSectorSize + tailBytes, '\0');
    for (std::uint64_t s = 0; s < sectors; ++s) {
        std::memcpy(&bytes[s * kSectorSize], &s, sizeof s);
        bytes[s * kSectorSize + 511] = static_cast<char>(s * 13);
    }
    return folder.write("card.img", bytes);
}

std::uint64_t numberOf(const std::uint8_t* sector)
{
    std::uint64_t number = 0;
    std::memcpy(&number, sector, sizeof number);
    EXPECT_EQ(sector[511], static_cast<std::uint8_t>(number * 13));
    return number;
}

// Every sector in order across blocks, the 100-byte tail no sector; seeks anywhere up to the
// end, back into an earlier block, and two streams of one file independent.
TEST(RawSectorStream, ReadsEverySectorInOrderSeeksUpToTheEndAndStreamsStayIndependent)
{
    test::ScratchFolder folder;
    const std::uint64_t sectors = 2 * RawSectorStream::kBlockSectors + 5;
    const std::string path = numberedImage(folder, sectors, 100);
    RawSectorOpener opener;
    auto first = opener.open(path), second = opener.open(path);
    ASSERT_TRUE(first.stream && second.stream) << first.error.message;
    EXPECT_EQ(first.stream->sectorCount(), sectors);
    std::uint8_t sector[kSectorSize];
    const auto next = [&](SectorStream& stream) { return stream.readSector(sector) == 1 ? numberOf(sector) : ~0ull; };
    for (std::uint64_t s = 0; s < sectors; ++s)
        ASSERT_EQ(next(*first.stream), s);
    EXPECT_EQ(next(*first.stream), ~0ull);
    EXPECT_EQ(next(*first.stream), ~0ull);

    ASSERT_TRUE(first.stream->seekToSector(2050));
    EXPECT_EQ(next(*first.stream), 2050u);
    EXPECT_EQ(next(*second.stream), 0u);
    ASSERT_TRUE(first.stream->seekToSector(7));
    EXPECT_EQ(next(*first.stream), 7u);
    EXPECT_TRUE(first.stream->seekToSector(sectors));
    EXPECT_EQ(next(*first.stream), ~0ull);
    EXPECT_FALSE(first.stream->seekToSector(sectors + 1));
    EXPECT_FALSE(first.stream->seekToSector(~0ull / kSectorSize + 5)); // no file offset holds it
    EXPECT_FALSE(first.stream->seekToSector(~0ull));
}

// Sectors at hand follow each other across blocks, from any position a seek or a read one by
// one leaves, and none are at hand past the end.
TEST(RawSectorStream, SectorsAtHandFollowEachOtherAcrossBlocksUpToTheEnd)
{
    test::ScratchFolder folder;
    const std::uint64_t sectors = 2 * RawSectorStream::kBlockSectors + 5;
    auto opening = RawSectorOpener().open(numberedImage(folder, sectors, 100));
    ASSERT_TRUE(opening.stream);
    SectorStream& stream = *opening.stream;
    for (const std::uint64_t start : {0ull, 2047ull, 3000ull}) {
        ASSERT_TRUE(stream.seekToSector(start));
        std::uint64_t next = start;
        const std::uint8_t* atHand = nullptr;
        while (const std::size_t count = stream.sectorsAtHand(atHand, 1000)) {
            for (std::size_t k = 0; k < count; ++k)
                ASSERT_EQ(numberOf(atHand + k * kSectorSize), next + k) << start;
            stream.skipSectors(count);
            next += count;
            std::uint8_t sector[kSectorSize];
            if (next < sectors) {
                ASSERT_EQ(stream.readSector(sector), 1u);
                ASSERT_EQ(numberOf(sector), next++);
            }
        }
        EXPECT_EQ(next, sectors) << start;
    }
}

// Large reads go as two halves at once (one on a helper thread): the whole stretch, or up to
// the end of the medium, every sector in its place; a stream reading in bulk from a block it
// holds goes on from the medium after it.
TEST(PairedReadThreads, LargeReadsAnswerEverySectorInPlaceUpToTheEnd)
{
    test::ScratchFolder folder;
    const std::uint64_t sectors = 3000;
    const std::string path = numberedImage(folder, sectors, 100);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    PairedRead paired(fd);
    const struct {
        std::uint64_t firstSector;
        std::size_t sectors, answered;
    } rows[] = {{0, 8, 8}, {3, 2048, 2048}, {1000, 2000, 2000}, {2000, 1500, 1000}, {2999, 1024, 1}};
    for (const auto& row : rows) {
        std::vector<std::uint8_t> bytes(row.sectors * kSectorSize);
        const std::size_t read = paired.read(bytes.data(), bytes.size(), row.firstSector * kSectorSize);
        ASSERT_EQ(read / kSectorSize, row.answered) << row.firstSector;
        for (std::size_t k = 0; k < row.answered; ++k)
            ASSERT_EQ(numberOf(bytes.data() + k * kSectorSize), row.firstSector + k) << row.firstSector;
    }
    ::close(fd);

    auto opening = RawSectorOpener().open(path);
    ASSERT_TRUE(opening.stream);
    std::uint8_t sector[kSectorSize];
    ASSERT_TRUE(opening.stream->seekToSector(10) && opening.stream->readSector(sector) == 1);
    std::vector<std::uint8_t> bulk(2500 * kSectorSize);
    ASSERT_EQ(opening.stream->readSectorsInto(bulk.data(), 2500), 2500u);
    for (std::size_t k = 0; k < 2500; ++k)
        ASSERT_EQ(numberOf(bulk.data() + k * kSectorSize), 11 + k);
}

// Refusals that are no lack of rights never reach the privileged helper; a pipe must not
// hang waiting for a writer.
TEST(RawSectorOpener, SaysWhyAMediumCannotBeOpened)
{
    test::ScratchFolder folder;
    int helperAsked = 0;
    RawSectorOpener opener([&](const std::string&) { return ++helperAsked, -1; });
    const std::string missing = (folder.path() / "none.img").string(), fifo = (folder.path() / "pipe").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::tuple<std::string, int, std::string> cases[] = {
        {missing, ENOENT, "cannot open " + missing + ": No such file or directory"},
        {folder.path().string(), ENODEV, "cannot open " + folder.path().string() + ": not a disk device or disk image"},
        {fifo, ENODEV, "cannot open " + fifo + ": not a disk device or disk image"},
        {"../sda", EINVAL, "cannot open ../sda: not a device name or an absolute path"}};
    for (const auto& [path, error, message] : cases) {
        const auto opening = opener.open(path);
        EXPECT_FALSE(opening.stream);
        EXPECT_EQ(std::pair(opening.error.errorNumber, opening.error.message), std::pair(error, message));
    }
    EXPECT_TRUE(opener.open(numberedImage(folder, 2, 0)).stream);
    EXPECT_EQ(helperAsked, 0);
}

// Run as an unprivileged user (in a child process when the tests run as root): the helper
// answers with a descriptor opened by someone with the rights, as udisks would.
TEST(RawSectorOpener, RefusedOpenIsHandedToThePrivilegedHelper)
{
    test::ScratchFolder folder;
    const std::string path = numberedImage(folder, 4, 0);
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0);
    const int grantedFd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(grantedFd, 0);
    const auto check = [&]() -> bool {
        std::string asked;
        RawSectorOpener helped([&](const std::string& devicePath) {
            asked = devicePath;
            return ::dup(grantedFd);
        });
        auto opening = helped.open(path);
        std::uint8_t sector[kSectorSize];
        return asked == path && opening.stream && opening.stream->sectorCount() == 4
            && opening.stream->seekToSector(3) && opening.stream->readSector(sector) == 1 && numberOf(sector) == 3
            && !RawSectorOpener().open(path).stream;
    };
    if (::geteuid() != 0) {
        EXPECT_TRUE(check());
    } else {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            ::_exit(::setgid(65534) == 0 && ::setuid(65534) == 0 && check() ? 0 : 1);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    ::close(grantedFd);
}

// The record names the file by its absolute, tidied path, even when given a relative one.
TEST(DiskImage, RecordNamesTheFileByItsAbsolutePath)
{
    test::ScratchFolder folder;
    const std::string image = folder.write("cards/card.img", std::string(1025 * 512 + 100, '\x5a'));
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    const DiskImageResult result = recordForDiskImage("./cards/../cards/card.img");
    std::filesystem::current_path(previous);
    ASSERT_TRUE(result.record) << result.error;
    EXPECT_TRUE(result.error.empty());
    const auto& r = *result.record;
    EXPECT_EQ((std::vector<std::string>{r.nsStrDiskIdentifier(), r.nsStrVolName(), r.nsStrFileSystem(), r.nsStrSize(),
                                        r.nsStrParentDisk(), r.nsStrSectors()}),
              (std::vector<std::string>{image, "card.img", "Disk Image", "512.60  KB ", "", "1025"}));
}

// A pipe is refused without waiting for a writer.
TEST(DiskImage, RefusesWhatCannotBeReadAsAMediumWithTheReason)
{
    test::ScratchFolder folder;
    const std::string missing = (folder.path() / "missing.img").string(), fifo = (folder.path() / "pipe.img").string();
    const std::string tiny = folder.write("tiny.img", std::string(511, 'x'));
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::pair<std::string, std::string> cases[] = {
        {missing, "\"" + missing + "\" cannot be read: No such file or directory."},
        {folder.path().string(), "\"" + folder.path().string() + "\" is neither a disk image file nor a block device."},
        {tiny, "\"" + tiny + "\" is smaller than one sector (512 bytes)."},
        {"", "No disk image was given."},
        {fifo, "\"" + fifo + "\" is neither a disk image file nor a block device."}};
    for (const auto& [path, error] : cases)
        EXPECT_EQ(recordForDiskImage(path).error, error);
}

} // namespace
} // namespace salvyn
