#include "results/resultrows.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace salvyn {
namespace {

const char* const kKeys[] = {"FileTypes", "NoOfFile", "FileName", "FilePath", "FileTypes_Hidden"};

TEST(ResultRows, NewRowsHoldTheirTextsUnderTheFiveKeys)
{
    ResultRows rows;
    rows.createSignatureListTableRecord("MP4", 0, "", "", "MP4");
    rows.createSignatureListTableRecord("type", 18446744073709551615ull, "name", "path", "hidden");
    ASSERT_EQ(rows.rowCount(), 2u);
    EXPECT_EQ(rows.value(0, "NoOfFile"), "0");
    const char* const expected[] = {"type", "18446744073709551615", "name", "path", "hidden"};
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(rows.value(1, kKeys[k]), expected[k]) << kKeys[k];
}

TEST(ResultRows, ReadsOutsideTheTableGiveEmptyTexts)
{
    ResultRows rows;
    EXPECT_EQ(rows.value(0, "FileTypes"), "");
    rows.createSignatureListTableRecord("MP4", 3, "", "", "MP4");
    EXPECT_EQ(rows.value(1, "FileTypes"), ""); // index equal to the row count
    EXPECT_EQ(rows.value(static_cast<std::size_t>(-1), "NoOfFile"), "");
    EXPECT_EQ(rows.value(0, "State"), "");
    EXPECT_EQ(rows.value(0, "filetypes"), "");
    EXPECT_EQ(rows.value(0, ""), "");
    EXPECT_EQ(rows.noOfFileFor("AVI"), std::nullopt);
    EXPECT_EQ(rows.noOfFileFor("MP4"), 3u);
}

TEST(ResultRows, FoundFileReplacesTheFirstRowOfItsExtension)
{
    ResultRows rows;
    rows.createSignatureListTableRecord("AVI", 0, "", "", "AVI");
    rows.createSignatureListTableRecord("MP4", 41, "", "", "MP4");
    rows.createSignatureListTableRecord("MP4", 0, "", "", "MP4");
    EXPECT_EQ(rows.countFoundFile("MP400042.MP4"), 1u);
    const auto after = rows.snapshot();
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[1], (ResultRow{"MP4", "42", "MP400042.MP4", "MP400042.MP4", "MP4"}));
    EXPECT_EQ(after[0], (ResultRow{"AVI", "0", "", "", "AVI"}));
    EXPECT_EQ(after[2], (ResultRow{"MP4", "0", "", "", "MP4"}));
}

TEST(ResultRows, FileOfAnUncountedTypeChangesNothing)
{
    ResultRows rows;
    rows.createSignatureListTableRecord("MP4", 2, "", "", "MP4");
    const auto before = rows.snapshot();
    EXPECT_EQ(rows.countFoundFile("mp400001.mp4"), std::nullopt); // case counts
    EXPECT_EQ(rows.countFoundFile("MOV00001.MOV"), std::nullopt);
    EXPECT_EQ(rows.countFoundFile("noextension"), std::nullopt);
    EXPECT_EQ(rows.snapshot(), before);
}

TEST(ResultRows, RowWithAnEmptyTypeCountsFilesWithoutExtension)
{
    ResultRows rows;
    rows.createSignatureListTableRecord("", 0, "", "", "");
    EXPECT_EQ(rows.countFoundFile("00001."), 0u);
    EXPECT_EQ(rows.value(0, "NoOfFile"), "1");
}

TEST(ResultRows, ClearStartsANewSearchFromZero)
{
    ResultRows rows;
    rows.createSignatureListTableRecord("WAV", 0, "", "", "WAV");
    rows.countFoundFile("WAV00001.WAV");
    rows.countFoundFile("WAV00002.WAV"); // the thorough pass adds to the same row
    EXPECT_EQ(rows.value(0, "NoOfFile"), "2");
    rows.clear();
    EXPECT_EQ(rows.rowCount(), 0u);
    rows.createSignatureListTableRecord("WAV", 0, "", "", "WAV");
    EXPECT_EQ(rows.value(0, "NoOfFile"), "0");
    EXPECT_EQ(rows.value(0, "FileName"), "");
}

// The worker counts while the UI thread draws; every read must see whole rows and no
// count may be lost.
TEST(ResultRows, CountingOnOneThreadWhileAnotherReads)
{
    ResultRows rows;
    rows.createSignatureListTableRecord("MP4", 0, "", "", "MP4");
    rows.createSignatureListTableRecord("AVI", 0, "", "", "AVI");
    constexpr int kFiles = 2000;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 1; i <= kFiles; ++i)
            rows.countFoundFile(i % 2 ? "MP4.MP4" : "AVI.AVI");
        done = true;
    });
    std::uint64_t lastSeen = 0;
    bool torn = false;
    bool wentBack = false;
    do {
        for (std::size_t r = 0; r <= rows.rowCount(); ++r)
            (void)rows.value(r, "NoOfFile");
        const auto snapshot = rows.snapshot();
        for (const ResultRow& row : snapshot)
            torn = torn || row.FileTypes != row.FileTypes_Hidden || (row.NoOfFile != "0" && row.FileName.empty());
        const std::uint64_t seen = rows.noOfFileFor("MP4").value_or(0);
        wentBack = wentBack || seen < lastSeen;
        lastSeen = seen;
    } while (!done);
    worker.join();
    EXPECT_FALSE(torn);
    EXPECT_FALSE(wentBack);
    EXPECT_EQ(rows.value(0, "NoOfFile"), std::to_string(kFiles / 2));
    EXPECT_EQ(rows.value(1, "NoOfFile"), std::to_string(kFiles / 2));
}

TEST(ResultRows, CountsFromTwoReportersAreNotLost)
{
    ResultRows rows;
    rows.createSignatureListTableRecord("JPG", 0, "", "", "JPG");
    constexpr int kPerThread = 1000;
    auto report = [&] {
        for (int i = 0; i < kPerThread; ++i)
            rows.countFoundFile("x.JPG");
    };
    std::thread a(report);
    std::thread b(report);
    a.join();
    b.join();
    EXPECT_EQ(rows.noOfFileFor("JPG"), 2u * kPerThread);
}

} // namespace
} // namespace salvyn
