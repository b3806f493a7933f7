#include "scan/searchrun.h"

#include "scantestsupport.h"

#include <gtest/gtest.h>

#include <thread>

namespace salvyn {
namespace {

using namespace test;

const SignatureList kJpeg = record("JPG", "20000000", "FFD8FFE0", "1");
const SignatureList kMp4 = record("MP4", "1000", "0000001866747970", "1");

DiskImage sample()
{
    DiskImage image(100);
    image.fill(10, 100).put(10, 0, hexBytes("FFD8FFE0")).put(50, 0, hexBytes("0000001866747970"));
    return image;
}

std::vector<std::string> passesRun(const test::RecordingHost& host)
{
    std::vector<std::string> passes;
    for (const auto& event : host.events())
        if (event.rfind("pass ", 0) == 0)
            passes.push_back(event.substr(5));
    return passes;
}

TEST(SearchRun, WithTheThoroughBoxOnEachPhotoIsListedOnce)
{
    DiskImage image(100);
    image.fill(5, 100).put(10, 0, hexBytes("FFD8FFE1")).put(40, 0, hexBytes("FFD8FFDB")).put(70, 0, hexBytes("FFD8FFE1"));
    ScanBench bench(image, 0, record("JPG", "20000000", "FFD8FFE1", "1"));
    // The thorough header also matches both photos the general pass finds.
    bench.request.thoroughList = record("JPG", "20000000", "FFD8FF", "1");
    bench.request.thorough = true;
    bench.search();
    // No number is spent on a photo left out.
    EXPECT_EQ(bench.sink.photos, (std::vector<test::FoundPhoto>{{image.sectors(10, 70), "GND00001.JPG", "GND00001.JPG", 10, 70},
                                                                {image.sectors(70, 100), "GND00002.JPG", "GND00002.JPG", 70, 100},
                                                                {image.sectors(40, 70), "THD00001.JPG", "THD00001.JPG", 40, 70}}));
    EXPECT_EQ(bench.state.THD_Image_number, 1u);

    // The next search starts afresh: its general pass lists everything again.
    bench.search();
    EXPECT_EQ(bench.sink.photos.size(), 6u);
}

TEST(SearchRun, WithTheThoroughBoxOnEachRawFileIsListedOnce)
{
    DiskImage image(200);
    image.fill(5, 200).put(50, 0, hexBytes("0000001866747970")).put(90, 0, hexBytes("0000001466747970"));
    image.put(130, 0, hexBytes("0000001866747970"));
    ScanBench bench(image, 1, kMp4);
    bench.request.thoroughList = record("MOV", "1000", "66747970", "5");
    bench.search();
    EXPECT_EQ(bench.sink.rawFiles, (std::vector<test::FoundRawFile>{{"MP400001.MP4", "MP400001.MP4", 50, 131},
                                                                    {"MP400002.MP4", "MP400002.MP4", 130, 200},
                                                                    {"MOV00001.MOV", "MOV00001.MOV", 90, 131}}));
}

// Photo searches run the thorough pass for the box only, the others also for thorough records.
TEST(SearchRun, ThoroughPassRunsForTheBoxOrForThoroughRecords)
{
    struct Case { int mode; bool box; SignatureList thoroughList; std::vector<std::string> passes; };
    for (const Case& c : {Case{0, false, kJpeg, {"GEN"}}, Case{0, true, kJpeg, {"GEN", "THD"}}, Case{2, false, {}, {"GEN"}},
                          Case{2, true, {}, {"GEN", "THD"}}, Case{2, false, kMp4, {"GEN", "THD"}}}) {
        ScanBench bench(sample(), c.mode, c.mode == 0 ? kJpeg : kMp4);
        bench.request.thorough = c.box;
        bench.request.thoroughList = c.thoroughList;
        bench.state.stop_screen_already_show = 1; // left over from the previous search
        bench.search();
        EXPECT_EQ(passesRun(bench.host), c.passes);
        EXPECT_EQ(bench.host.count("final"), 1);
        EXPECT_EQ(bench.host.events().back(), "final");
    }
}

// Stop in either pass (at the 60th read of the pass), or a failed general pass, ends the
// search there with the final screen once.
TEST(SearchRun, StopOrAFailedGeneralPassEndsTheSearchWithTheFinalScreenOnce)
{
    struct Case { int mode, stopAtRead; std::set<std::uint64_t> unreadable; std::vector<std::string> passes; };
    for (const Case& c : {Case{0, 60, {}, {"GEN"}}, Case{1, 60, {}, {"GEN"}}, Case{0, 160, {}, {"GEN", "THD"}},
                          Case{1, 160, {}, {"GEN", "THD"}}, Case{0, 0, {99}, {"GEN"}}, Case{2, 0, {99}, {"GEN"}},
                          Case{3, 0, {99}, {"GEN"}}}) {
        SCOPED_TRACE(std::to_string(c.mode) + " " + std::to_string(c.stopAtRead));
        ScanBench bench(sample(), c.mode, c.mode == 0 ? kJpeg : kMp4);
        bench.request.thoroughList = bench.request.generalList;
        bench.request.thorough = true;
        int reads = 0;
        FaultySectorOpener media(bench.opener, {c.unreadable, {}, [&](std::uint64_t) {
                                     if (++reads == c.stopAtRead)
                                         bench.state.stop_now = 1;
                                 }});
        bench.search(&media);
        EXPECT_EQ(passesRun(bench.host), c.passes);
        EXPECT_EQ(bench.host.count("final"), 1);
    }
}

// The preview on the UI thread and the worker's end race in every order: exactly one side
// shows the final screen, never none.
TEST(SearchRunThreads, PreviewAndSearchEndRaceShowsTheFinalScreenExactlyOnce)
{
    for (int round = 0; round < 200; ++round) {
        ScanBench bench(DiskImage(8), 2, kMp4);
        auto context = bench.context();
        bench.state.beginPreview();
        std::thread worker([&] { runSearch(context); });
        if (bench.state.endPreviewAndTakeHandoff())
            showFinalScreenOnce(bench.state, bench.host);
        worker.join();
        ASSERT_EQ(bench.host.count("final"), 1) << round;
    }
}

// Stop pressed on another thread while the worker is inside a read: the pass takes it at
// its next sector.
TEST(SearchRunThreads, StopFromAnotherThreadEndsThePassAtItsNextSector)
{
    const DiskImage image = sample();
    ScanBench bench(image, 0, kJpeg);
    test::SectorGate gate(40);
    test::BeforeReadOpener pausing(bench.opener, [&](std::uint64_t sector) { gate.hold(sector); });
    auto context = bench.context(&pausing);
    std::thread worker([&] { runSearch(context); });
    gate.waitUntilReached();
    bench.state.stop_now = 1;
    gate.release();
    worker.join();
    ASSERT_EQ(bench.sink.photos.size(), 1u);
    EXPECT_EQ(bench.sink.photos[0].bytes, image.sectors(10, 41));
    EXPECT_EQ(bench.state.for_index, 41u);
    EXPECT_EQ(bench.host.count("final"), 1);
}

} // namespace
} // namespace salvyn
