#include "results/previewfolder.h"

#include "scratchfolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace salvyn {
namespace {

namespace fs = std::filesystem;

class PreviewFolderTest : public ::testing::Test {
protected:
    test::ScratchFolder scratch;
    const fs::path path = scratch.path() / "preview";
    const PreviewFolder folder{path.string()};
};

TEST_F(PreviewFolderTest, WalkRemovesPreviewFilesOnlyAndNeverFollowsLinks)
{
    ASSERT_TRUE(folder.openPrivate().isOpen());
    for (const char* name : {"dprv", "dprv.MP4", "dprv.", "dprv.a.b", "dprvx", "xdprv.MP4", "notes.txt", "dprv.dir/inside"})
        scratch.write(std::string("preview/") + name, "data");
    const std::string victim = scratch.write("victim.txt", "keep me");
    fs::create_symlink(victim, path / "dprv.lnk");

    EXPECT_EQ(folder.removePreviewFiles(), 4);
    EXPECT_EQ(test::namesIn(path), (std::vector<std::string>{"dprv.a.b", "dprv.dir", "dprvx", "notes.txt", "xdprv.MP4"}));
    EXPECT_TRUE(fs::exists(path / "dprv.dir" / "inside"));
    EXPECT_TRUE(fs::exists(victim));
}

// A missing folder is not made; a link to a folder elsewhere is not walked.
TEST_F(PreviewFolderTest, WalkCreatesNothingAndLeavesAFolderThatIsNotOursAlone)
{
    EXPECT_EQ(folder.removePreviewFiles(), 0);
    EXPECT_FALSE(fs::exists(path));
    scratch.write("elsewhere/dprv.MP4", "someone else's");
    fs::create_directory_symlink(scratch.path() / "elsewhere", path);
    EXPECT_EQ(folder.removePreviewFiles(), 0);
    EXPECT_TRUE(fs::exists(scratch.path() / "elsewhere" / "dprv.MP4"));
}

TEST_F(PreviewFolderTest, FolderOfOursThatOthersCouldEnterIsClosedDown)
{
    fs::create_directories(path);
    chmod(path.c_str(), 0777);
    ASSERT_TRUE(folder.openPrivate().isOpen());
    struct stat info {};
    ASSERT_EQ(lstat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(PreviewFolderTest, PlainFileWhereTheFolderShouldBeIsRefused)
{
    scratch.write("preview", "not a folder");
    EXPECT_FALSE(folder.openPrivate().isOpen());
    EXPECT_FALSE(PreviewFolder("").openPrivate().isOpen());
}

} // namespace
} // namespace salvyn
