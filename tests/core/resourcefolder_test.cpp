#include "platform/resourcefolder.h"

#include "scratchfolder.h"

#include <gtest/gtest.h>

namespace salvyn {
namespace {

TEST(ResourceFolder, ShareFolderBesideTheProgramComesFirst)
{
    test::ScratchFolder scratch;
    const auto program = scratch.path() / "bin" / "salvyn";
    scratch.write("bin/salvyn", "");
    scratch.write("share/salvyn/ZephExt2.dll", "");
    const auto fallback = (scratch.path() / "fallback").string();
    std::filesystem::create_directories(fallback);
    EXPECT_EQ(resourceFolderFor(program, {fallback}), (scratch.path() / "share" / "salvyn").string());
}

TEST(ResourceFolder, FallbacksAreTriedInOrder)
{
    test::ScratchFolder scratch;
    const auto program = scratch.path() / "bin" / "salvyn";
    const auto missing = (scratch.path() / "missing").string();
    const auto second = (scratch.path() / "second").string();
    const auto third = (scratch.path() / "third").string();
    std::filesystem::create_directories(second);
    std::filesystem::create_directories(third);
    scratch.write("notafolder", "");
    EXPECT_EQ(resourceFolderFor(program, {missing, (scratch.path() / "notafolder").string(), second, third}), second);
}

TEST(ResourceFolder, NothingFoundGivesTheFolderBesideTheProgram)
{
    test::ScratchFolder scratch;
    const auto program = scratch.path() / "bin" / "salvyn";
    // A plain file where the folder should be does not count.
    scratch.write("share/salvyn", "");
    const auto found = resourceFolderFor(program, {(scratch.path() / "missing").string()});
    EXPECT_EQ(found, (scratch.path() / "share" / "salvyn").string());
}

TEST(ResourceFolder, RunningProgramFindsTheBuildsResourceFolder)
{
    // Test programs land in <build>/bin beside <build>/share/salvyn, as the application does.
    const auto program = std::filesystem::read_symlink("/proc/self/exe");
    const auto expected = (program.parent_path().parent_path() / "share" / "salvyn").string();
    ASSERT_TRUE(std::filesystem::is_directory(expected));
    EXPECT_EQ(findResourceFolder(), expected);
}

} // namespace
} // namespace salvyn
