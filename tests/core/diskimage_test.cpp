#include "media/diskimage.h"

#include "scratchfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace salvyn {
namespace {

TEST(DiskImage, RecordNamesTheFileByItsAbsolutePath)
{
    test::ScratchFolder folder;
    const std::string image = folder.write("card.img", std::string(1025 * 512 + 100, '\x5a'));
    const DiskImageResult result = recordForDiskImage(image);
    ASSERT_TRUE(result.record) << result.error;
    EXPECT_TRUE(result.error.empty());
    EXPECT_EQ(result.record->nsStrDiskIdentifier(), image);
    EXPECT_EQ(result.record->nsStrVolName(), "card.img");
    EXPECT_EQ(result.record->nsStrFileSystem(), "Disk Image");
    EXPECT_EQ(result.record->nsStrSize(), "512.60  KB ");
    EXPECT_EQ(result.record->nsStrParentDisk(), "");
    EXPECT_EQ(result.record->nsStrSectors(), "1025");
}

TEST(DiskImage, RelativePathsBecomeAbsoluteAndTidy)
{
    test::ScratchFolder folder;
    folder.write("cards/sd.dd", std::string(512, '\0'));
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    const DiskImageResult result = recordForDiskImage("./cards/../cards/sd.dd");
    std::filesystem::current_path(previous);
    ASSERT_TRUE(result.record) << result.error;
    EXPECT_EQ(result.record->nsStrDiskIdentifier(), (folder.path() / "cards/sd.dd").string());
    EXPECT_EQ(result.record->nsStrVolName(), "sd.dd");
}

TEST(DiskImage, RefusesWhatCannotBeReadAsAMediumWithTheReason)
{
    test::ScratchFolder folder;
    const std::string missing = (folder.path() / "missing.img").string();
    EXPECT_EQ(recordForDiskImage(missing).error, "\"" + missing + "\" cannot be read: No such file or directory.");

    EXPECT_EQ(recordForDiskImage(folder.path().string()).error,
              "\"" + folder.path().string() + "\" is neither a disk image file nor a block device.");
    EXPECT_EQ(recordForDiskImage("/dev/null").error,
              "\"/dev/null\" is neither a disk image file nor a block device.");

    const std::string empty = folder.write("empty.img", "");
    EXPECT_EQ(recordForDiskImage(empty).error, "\"" + empty + "\" is smaller than one sector (512 bytes).");
    const std::string tiny = folder.write("tiny.img", std::string(511, 'x'));
    EXPECT_EQ(recordForDiskImage(tiny).error, "\"" + tiny + "\" is smaller than one sector (512 bytes).");

    EXPECT_EQ(recordForDiskImage("").error, "No disk image was given.");
    EXPECT_FALSE(recordForDiskImage("").record);
}

TEST(DiskImage, AFifoIsRefusedWithoutWaitingForAWriter)
{
    test::ScratchFolder folder;
    const std::string fifo = (folder.path() / "pipe.img").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const DiskImageResult result = recordForDiskImage(fifo);
    EXPECT_FALSE(result.record);
    EXPECT_EQ(result.error, "\"" + fifo + "\" is neither a disk image file nor a block device.");
}

TEST(DiskImage, AnUnreadableFileIsRefusedForOrdinaryUsers)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    test::ScratchFolder folder;
    const std::string locked = folder.write("locked.img", std::string(512, '\0'));
    ::chmod(locked.c_str(), 0);
    EXPECT_EQ(recordForDiskImage(locked).error, "\"" + locked + "\" cannot be read: Permission denied.");
}

} // namespace
} // namespace salvyn
