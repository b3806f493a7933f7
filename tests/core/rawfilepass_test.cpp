#include "scan/rawfilepass.h"

#include "scantestsupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>

namespace salvyn {
namespace {

using namespace test;
using Files = std::vector<test::FoundRawFile>;

const SignatureList kMp4 = record("MP4", "1000", "0000001866747970", "1");
const std::vector<std::uint8_t> kMp4Header = test::hexBytes("0000001866747970");

test::FoundRawFile mp4(int number, std::uint64_t first, std::uint64_t end)
{
    char name[16];
    std::snprintf(name, sizeof name, "MP4%05d.MP4", number);
    return {name, name, first, end};
}

DiskImage twoVideos(std::uint64_t sectors = 300)
{
    DiskImage image(sectors);
    image.fill(100, sectors).put(100, 0, kMp4Header).put(180, 0, kMp4Header);
    return image;
}

// An old file takes in the sector of the next header, wherever the content lies.
TEST(RawFilePass, OldFileIncludesTheSectorOfTheNextHeaderWhereverTheContentLies)
{
    const DiskImage image = twoVideos();
    for (const std::uint64_t shift : {0ull, 1ull, 511ull, 4096ull}) {
        SCOPED_TRACE(shift);
        ScanBench bench(image.shifted(shift), 1, kMp4);
        bench.rows.createSignatureListTableRecord("MP4", 0, "", "", "MP4");
        if (shift)
            bench.range(shift, shift + 300);
        EXPECT_TRUE(bench.pass("GEN"));
        EXPECT_EQ(bench.sink.rawFiles, (Files{mp4(1, 100 + shift, 181 + shift), mp4(2, 180 + shift, 300 + shift)}));
        EXPECT_EQ(bench.rows.value(0, "NoOfFile"), "2");
        EXPECT_EQ(bench.host.count("read error"), 0);
    }
}

// Without another header a file ends after exactly 36864 sectors, or at the medium's end;
// filled sectors after the header count as the file's, blank ones as well.
TEST(RawFilePass, FileWithoutAnotherHeaderEndsAtItsSizeLimitOrTheLastSector)
{
    struct Case { std::uint64_t sectors, header, end; };
    for (const Case& c : {Case{50, 49, 50}, Case{37000, 10, 10 + 36864}}) {
        DiskImage image(c.sectors);
        image.fill(c.header + 1, std::min(c.sectors, c.header + 20)).put(c.header, 0, kMp4Header);
        ScanBench bench(image, 1, kMp4);
        EXPECT_TRUE(bench.pass("GEN"));
        EXPECT_EQ(bench.sink.rawFiles, Files{mp4(1, c.header, c.end)});
    }
}

TEST(RawFilePass, RecordsThatShareTheHeaderStartFilesTogether)
{
    DiskImage image(40);
    image.fill(5, 40).put(5, 0, test::hexBytes("FFD8FFE1AABB")).put(30, 0, test::hexBytes("FFD8FFE1AABB"));
    ScanBench bench(image, 1, test::concat({
        record("AAA", "1", "FF00", "1"),         // before the matched record: never considered
        record("JPG", "1", "FFD8FFE1", "1"),     // matched
        record("JPG", "1", "FFD8FFE1", "1"),     // same type and header: same name
        record("THM", "1", "D8FF", "nn"),        // inside the matched header, any position
        record("CR2", "1", "FFD8FFE1CC", "1"),   // holds the matched header at the same position
        record("HEIC", "1", "FFD8FFE1CC", "nn"), // holds it at another position: not in the group
        record("PNG", "1", "89504E47", "1"),
    }));
    bench.rows.createSignatureListTableRecord("JPG", 0, "", "", "JPG");
    EXPECT_TRUE(bench.pass("GEN"));
    EXPECT_EQ(bench.sink.rawFiles, (Files{{"JPG00001.JPG", "JPG00001.JPG", 5, 31}, {"JPG00001.JPG", "JPG00001.JPG", 5, 31},
                                          {"THM00003.THM", "THM00003.THM", 5, 31}, {"CR200004.CR2", "CR200004.CR2", 5, 31},
                                          {"JPG00003.JPG", "JPG00003.JPG", 30, 40}, {"JPG00003.JPG", "JPG00003.JPG", 30, 40},
                                          {"THM00007.THM", "THM00007.THM", 30, 40}, {"CR200008.CR2", "CR200008.CR2", 30, 40}}));
}

TEST(RawFilePass, NamesContinueFromTheResultCountsIntoTheThoroughPass)
{
    ScanBench bench(twoVideos(), 1, kMp4);
    bench.request.thoroughList = kMp4;
    bench.rows.createSignatureListTableRecord("MP4", 41, "", "", "MP4");
    EXPECT_TRUE(bench.pass("GEN") && bench.pass("THD"));
    EXPECT_EQ(bench.sink.rawFiles, (Files{mp4(42, 100, 181), mp4(43, 180, 300), mp4(44, 100, 181), mp4(45, 180, 300)}));
    EXPECT_EQ(bench.rows.noOfFileFor("MP4"), 45u);
}

TEST(RawFilePass, EmptyWorkingListIsASuccessWithoutReading)
{
    ScanBench bench(twoVideos(), 1, {});
    bench.range(10, 300);
    EXPECT_TRUE(bench.pass("GEN"));
    EXPECT_EQ(bench.state.for_index, 10u);
}

TEST(RawFilePass, StopListsTheOpenFilesUpToTheStopPosition)
{
    ScanBench bench(twoVideos(), 1, kMp4);
    test::BeforeReadOpener stopper(bench.opener, [&](std::uint64_t sector) {
        if (sector == 199)
            bench.state.stop_now = 1;
    });
    EXPECT_FALSE(bench.pass("GEN", &stopper));
    EXPECT_EQ(bench.sink.rawFiles, (Files{mp4(1, 100, 181), mp4(2, 180, 200)}));
}

// Failures inside the first file, right after the second header, a run of eight (one
// unreadable 4 KiB page of a block device) leave no ghosts and keep later ranges exact; an
// unreadable header sector loses only its file.
TEST(RawFilePass, UnreadableSectorsLeaveNoGhostsAndKeepLaterRangesExact)
{
    const Files both{mp4(1, 100, 181), mp4(2, 180, 400)};
    const std::pair<std::set<std::uint64_t>, Files> cases[] = {
        {{150}, both}, {{181}, both}, {{181, 182, 183}, both}, {{200, 201, 202, 203, 204, 205, 206, 207}, both},
        {{0}, both}, {{180}, {mp4(1, 100, 400)}}};
    for (const auto& [bad, files] : cases) {
        SCOPED_TRACE(*bad.begin());
        ScanBench bench(twoVideos(400), 1, kMp4);
        FaultySectorOpener faulty(bench.opener, {bad, {}});
        EXPECT_TRUE(bench.pass("GEN", &faulty));
        EXPECT_EQ(bench.sink.rawFiles, files);
        EXPECT_EQ(bench.host.count("read error " + std::to_string(bad.size())), 1);
        EXPECT_EQ(bench.state.for_index, 400u);
    }
}

TEST(RawFilePass, ExceptionInTheLoopDropsTheOpenFiles)
{
    ScanBench bench(twoVideos(), 1, kMp4);
    bench.request.thoroughList = kMp4;
    test::BeforeReadOpener throwing(bench.opener, [](std::uint64_t sector) {
        if (sector == 250)
            throw std::runtime_error("device gone");
    });
    EXPECT_TRUE(bench.pass("GEN", &throwing));
    EXPECT_EQ(bench.sink.rawFiles, Files{mp4(1, 100, 181)});
    EXPECT_TRUE(bench.pass("THD"));
    EXPECT_EQ(bench.sink.rawFiles.size(), 3u);
    EXPECT_EQ(bench.sink.rawFiles[1].firstSector, 100u);
}

} // namespace
} // namespace salvyn
