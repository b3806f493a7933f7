#include "scan/naming.h"

#include "results/resultrows.h"

#include <gtest/gtest.h>

#include <limits>

namespace salvyn {
namespace {

TEST(Naming, NumbersArePaddedToFiveDigitsAcrossEveryThreshold)
{
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0, "GND00000.JPG"},     {3, "GND00003.JPG"},     {9, "GND00009.JPG"},      {10, "GND00010.JPG"},
        {99, "GND00099.JPG"},    {100, "GND00100.JPG"},   {999, "GND00999.JPG"},    {1000, "GND01000.JPG"},
        {9999, "GND09999.JPG"},  {10000, "GND10000.JPG"}, {12345, "GND12345.JPG"},  {99999, "GND99999.JPG"},
        {123456, "GND123456.JPG"},
        {std::numeric_limits<std::uint64_t>::max(), "GND18446744073709551615.JPG"},
    };
    for (const auto& [count, expected] : cases)
        EXPECT_EQ(Generate_File_Name(count, "GND", "JPG", 0, nullptr), expected) << count;
}

TEST(Naming, IdentifiersUseTheFixedPassPrefix)
{
    EXPECT_EQ(Generate_File_UID_Num(10, true, "JPG"), "THD00010.JPG");
    EXPECT_EQ(Generate_File_UID_Num(10, false, "JPG"), "GND00010.JPG");
    EXPECT_EQ(Generate_File_UID_Num(0, false, "CR2"), "GND00000.CR2");
    EXPECT_EQ(Generate_File_UID_Num(123456, true, "PNG"), "THD123456.PNG");
}

TEST(Naming, DataIsNeverReadAsAFormat)
{
    EXPECT_EQ(Generate_File_Name(7, "%s%n%1", "%d%@", 0, nullptr), "%s%n%100007.%d%@");
    EXPECT_EQ(Generate_File_UID_Num(7, false, "%llu"), "GND00007.%llu");
}

TEST(Naming, RawModesContinueFromTheTypesResultRow)
{
    ResultRows rows;
    rows.createSignatureListTableRecord("AVI", 5, "", "", "AVI");
    rows.createSignatureListTableRecord("MP4", 41, "", "", "MP4");
    rows.createSignatureListTableRecord("MP4", 7, "", "", "MP4"); // only the first row counts
    for (int mode : {1, 2, 3})
        EXPECT_EQ(Generate_File_Name(999, "MP4", "MP4", mode, &rows), "MP400042.MP4") << mode;
    // The photo mode never consults the table.
    EXPECT_EQ(Generate_File_Name(3, "MP4", "MP4", 0, &rows), "MP400003.MP4");
    // No row for the type, a type differing only in case, or no table: the count passed in.
    EXPECT_EQ(Generate_File_Name(3, "MOV", "MOV", 1, &rows), "MOV00003.MOV");
    EXPECT_EQ(Generate_File_Name(3, "mp4", "mp4", 1, &rows), "mp400003.mp4");
    EXPECT_EQ(Generate_File_Name(3, "MP4", "MP4", 1, nullptr), "MP400003.MP4");
}

TEST(Naming, NamesFollowTheCountsAsFilesAreFound)
{
    ResultRows rows;
    rows.createSignatureListTableRecord("WAV", 0, "", "", "WAV");
    for (int i = 1; i <= 3; ++i) {
        const std::string name = Generate_File_Name(0, "WAV", "WAV", 3, &rows);
        EXPECT_EQ(name, "WAV0000" + std::to_string(i) + ".WAV");
        rows.countFoundFile(name);
    }
}

TEST(Naming, PathExtensionIsTheTextAfterTheLastFullStopOfTheFileName)
{
    EXPECT_EQ(pathExtension("GND00001.JPG"), "JPG");
    EXPECT_EQ(pathExtension("archive.tar.gz"), "gz");
    EXPECT_EQ(pathExtension("TAR.GZ00001.TAR.GZ"), "GZ");
    EXPECT_EQ(pathExtension("noextension"), "");
    EXPECT_EQ(pathExtension("trailing."), "");
    EXPECT_EQ(pathExtension(""), "");
    EXPECT_EQ(pathExtension("some.dir/file"), "");
    EXPECT_EQ(pathExtension("/tmp/some.dir/file.mov"), "mov");
    EXPECT_EQ(pathExtension("A/B00001.A/B"), "");
}

} // namespace
} // namespace salvyn
