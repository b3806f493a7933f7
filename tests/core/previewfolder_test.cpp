#include "results/previewfolder.h"

#include "scratchfolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>

namespace salvyn {
namespace {

namespace fs = std::filesystem;

TEST(PreviewFolder, WalkRemovesPreviewFilesOnlyAndNeverFollowsLinks)
{
    test::ScratchFolder scratch;
    const PreviewFolder folder((scratch.path() / "preview").string());
    ASSERT_TRUE(folder.openPrivate().isOpen());
    for (const char* name : {"dprv", "dprv.MP4", "dprv.", "dprv.a.b", "dprvx", "xdprv.MP4", "notes.txt"})
        scratch.write(std::string("preview/") + name, "data");
    scratch.write("preview/dprv.dir/inside", "data");
    const std::string victim = scratch.write("victim.txt", "keep me");
    fs::create_symlink(victim, scratch.path() / "preview" / "dprv.lnk");

    EXPECT_EQ(folder.removePreviewFiles(), 4);
    EXPECT_EQ(test::namesIn(scratch.path() / "preview"),
              (std::vector<std::string>{"dprv.a.b", "dprv.dir", "dprvx", "notes.txt", "xdprv.MP4"}));
    EXPECT_TRUE(fs::exists(scratch.path() / "preview" / "dprv.dir" / "inside"));
    EXPECT_TRUE(fs::exists(victim));
}

// A missing folder is not made; a link to a folder elsewhere is not walked.
TEST(PreviewFolder, WalkCreatesNothingAndLeavesAFolderThatIsNotOursAlone)
{
    test::ScratchFolder scratch;
    const PreviewFolder folder((scratch.path() / "preview").string());
    EXPECT_EQ(folder.removePreviewFiles(), 0);
    EXPECT_FALSE(fs::exists(scratch.path() / "preview"));
    scratch.write("elsewhere/dprv.MP4", "someone else's");
    fs::create_directory_symlink(scratch.path() / "elsewhere", scratch.path() / "preview");
    EXPECT_EQ(folder.removePreviewFiles(), 0);
    EXPECT_TRUE(fs::exists(scratch.path() / "elsewhere" / "dprv.MP4"));
}

TEST(PreviewFolder, FolderOfOursThatOthersCouldEnterIsClosedDown)
{
    test::ScratchFolder scratch;
    const fs::path path = scratch.path() / "preview";
    fs::create_directories(path);
    chmod(path.c_str(), 0777);
    ASSERT_TRUE(PreviewFolder(path.string()).openPrivate().isOpen());
    struct stat info {};
    ASSERT_EQ(lstat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST(PreviewFolder, PlainFileWhereTheFolderShouldBeIsRefused)
{
    test::ScratchFolder scratch;
    scratch.write("preview", "not a folder");
    EXPECT_FALSE(PreviewFolder((scratch.path() / "preview").string()).openPrivate().isOpen());
    EXPECT_FALSE(PreviewFolder("").openPrivate().isOpen());
}

} // namespace
} // namespace salvyn
