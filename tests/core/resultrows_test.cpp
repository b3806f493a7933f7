// The result rows a search counts into, and the names found files get from them.
#include "results/resultrows.h"
#include "scan/naming.h"

#include <gtest/gtest.h>

#include <atomic>
#include <limits>
#include <thread>

namespace salvyn {
namespace {

const char* const kKeys[] = {"FileTypes", "NoOfFile", "FileName", "FilePath", "FileTypes_Hidden"};

// Both passes count into the first row of a file's extension; a new search starts from zero.
TEST(ResultRows, FoundFilesCountIntoTheFirstRowOfTheirExtensionUntilCleared)
{
    ResultRows rows;
    rows.createSignatureListTableRecord("AVI", 0, "", "", "AVI");
    rows.createSignatureListTableRecord("MP4", 41, "", "", "MP4");
    rows.createSignatureListTableRecord("MP4", 0, "", "", "MP4");
    rows.createSignatureListTableRecord("type", 18446744073709551615ull, "name", "path", "hidden");
    const char* const expected[] = {"type", "18446744073709551615", "name", "path", "hidden"};
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(rows.value(3, kKeys[k]), expected[k]) << kKeys[k];
    EXPECT_EQ(rows.countFoundFile("MP400042.MP4"), 1u);
    EXPECT_EQ(rows.countFoundFile("MP400043.MP4"), 1u);
    EXPECT_EQ(rows.snapshot(), (std::vector<ResultRow>{{"AVI", "0", "", "", "AVI"},
                                                       {"MP4", "43", "MP400043.MP4", "MP400043.MP4", "MP4"},
                                                       {"MP4", "0", "", "", "MP4"},
                                                       {"type", "18446744073709551615", "name", "path", "hidden"}}));
    rows.clear();
    EXPECT_EQ(rows.rowCount(), 0u);
    rows.createSignatureListTableRecord("WAV", 0, "", "", "WAV");
    EXPECT_EQ(rows.value(0, "NoOfFile") + rows.value(0, "FileName"), "0");
}

TEST(ResultRows, ReadsOutsideTheTableAndFilesOfUncountedTypesChangeNothing)
{
    ResultRows rows;
    EXPECT_EQ(rows.value(0, "FileTypes"), "");
    rows.createSignatureListTableRecord("MP4", 3, "", "", "MP4");
    EXPECT_EQ(rows.value(1, "FileTypes"), ""); // index equal to the row count
    EXPECT_EQ(rows.value(static_cast<std::size_t>(-1), "NoOfFile"), "");
    for (const char* key : {"State", "filetypes", ""})
        EXPECT_EQ(rows.value(0, key), "") << key;
    EXPECT_EQ(rows.noOfFileFor("AVI"), std::nullopt);
    EXPECT_EQ(rows.noOfFileFor("MP4"), 3u);
    const auto before = rows.snapshot();
    for (const char* name : {"mp400001.mp4" /* case counts */, "MOV00001.MOV", "noextension"})
        EXPECT_EQ(rows.countFoundFile(name), std::nullopt) << name;
    EXPECT_EQ(rows.snapshot(), before);
    // A row with an empty type counts files without extension.
    rows.createSignatureListTableRecord("", 0, "", "", "");
    EXPECT_EQ(rows.countFoundFile("00001."), 1u);
    EXPECT_EQ(rows.value(1, "NoOfFile"), "1");
}

// Two reporters count while the UI thread draws: every read must see whole rows and no
// count may be lost.
TEST(ResultRowsThreads, CountingOnTwoThreadsWhileAnotherReads)
{
    ResultRows rows;
    rows.createSignatureListTableRecord("MP4", 0, "", "", "MP4");
    rows.createSignatureListTableRecord("AVI", 0, "", "", "AVI");
    constexpr int kFiles = 2000;
    std::atomic<int> done{0};
    auto report = [&] {
        for (int i = 1; i <= kFiles; ++i)
            rows.countFoundFile(i % 2 ? "MP4.MP4" : "AVI.AVI");
        ++done;
    };
    std::thread first(report), second(report);
    std::uint64_t lastSeen = 0;
    bool torn = false, wentBack = false;
    do {
        for (std::size_t r = 0; r <= rows.rowCount(); ++r)
            (void)rows.value(r, "NoOfFile");
        for (const ResultRow& row : rows.snapshot())
            torn = torn || row.FileTypes != row.FileTypes_Hidden || (row.NoOfFile != "0" && row.FileName.empty());
        const std::uint64_t seen = rows.noOfFileFor("MP4").value_or(0);
        wentBack = wentBack || seen < lastSeen;
        lastSeen = seen;
    } while (done < 2);
    first.join();
    second.join();
    EXPECT_FALSE(torn || wentBack) << torn << wentBack;
    EXPECT_EQ(rows.value(0, "NoOfFile") + " " + rows.value(1, "NoOfFile"), std::to_string(kFiles) + " " + std::to_string(kFiles));
}

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

TEST(Naming, PathExtensionIsTheTextAfterTheLastFullStopOfTheFileName)
{
    const std::pair<const char*, const char*> cases[] = {
        {"GND00001.JPG", "JPG"}, {"archive.tar.gz", "gz"}, {"TAR.GZ00001.TAR.GZ", "GZ"}, {"noextension", ""}, {"trailing.", ""},
        {"", ""}, {"some.dir/file", ""}, {"/tmp/some.dir/file.mov", "mov"}, {"A/B00001.A/B", ""}};
    for (const auto& [name, extension] : cases)
        EXPECT_EQ(pathExtension(name), extension) << name;
}

} // namespace
} // namespace salvyn
