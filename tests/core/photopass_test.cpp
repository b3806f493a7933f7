#include "scan/photopass.h"

#include "scantestsupport.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace salvyn {
namespace {

using namespace test;
using Photos = std::vector<test::FoundPhoto>;

const std::vector<std::uint8_t> kJpegHeader = hexBytes("FFD8FFE0");
const SignatureList kJpeg = record("JPG", "20000000", "FFD8FFE0", "1");

// Sectors 0..199: photos start at 100 and 140, data in between and after.
DiskImage twoPhotos()
{
    DiskImage image(200);
    image.fill(100, 200).put(100, 0, kJpegHeader).put(140, 0, kJpegHeader);
    return image;
}

// A photo runs from its header to the sector before the next header, wherever the content lies.
TEST(PhotoPass, PhotosRunFromTheirHeaderToTheNextWhereverTheContentLies)
{
    const DiskImage image = twoPhotos();
    for (const std::uint64_t shift : {0ull, 1ull, 7ull, 2049ull}) {
        SCOPED_TRACE(shift);
        ScanBench bench(image.shifted(shift), 0, kJpeg);
        if (shift)
            bench.range(shift, shift + 200);
        EXPECT_TRUE(bench.pass("GEN"));
        EXPECT_EQ(bench.sink.photos, (Photos{{image.sectors(100, 140), "GND00001.JPG", "GND00001.JPG", 100 + shift, 140 + shift},
                                             {image.sectors(140, 200), "GND00002.JPG", "GND00002.JPG", 140 + shift, 200 + shift}}));
        EXPECT_EQ(bench.state.for_index, 200 + shift);
        EXPECT_EQ(bench.host.events()[1], "progress " + std::to_string(shift) + " " + std::to_string(shift + 200));
    }
}

TEST(PhotoPass, BlankSectorsAreNeverTestedButBelongToAnOpenPhoto)
{
    DiskImage image(20);
    image.fill(2, 20).put(2, 0, kJpegHeader).put(5, 0, std::vector<std::uint8_t>(kSectorSize, 0));
    // A header of zeros would match any blank sector if blanks were tested.
    ScanBench bench(image, 0, test::concat({record("ZRO", "999999", "0000", "1"), kJpeg}));
    EXPECT_TRUE(bench.pass("GEN"));
    EXPECT_EQ(bench.sink.photos, (Photos{{image.sectors(2, 20), "GND00001.JPG", "GND00001.JPG", 2, 20}}));
}

// 18874368 bytes are 36864 sectors: the one that reaches the limit is left out. After a size
// end sectors are skipped until the next header; 2048 bytes keep three sectors, and a limit
// of 512 gives an empty photo, which is never listed but uses up its number.
TEST(PhotoPass, SizeLimitEndsThePhotoBeforeTheSectorThatReachesItAndSkipsToTheNextHeader)
{
    DiskImage large(36900);
    large.fill(0, 36900).put(0, 0, kJpegHeader);
    ScanBench limited(large, 0, record("JPG", "18874368", "FFD8FFE0", "1"));
    EXPECT_TRUE(limited.pass("GEN"));
    EXPECT_EQ(limited.sink.photos, (Photos{{large.sectors(0, 36863), "GND00001.JPG", "GND00001.JPG", 0, 36863}}));

    DiskImage image(30);
    image.fill(0, 30).put(0, 0, kJpegHeader).put(10, 0, hexBytes("22")).put(20, 0, kJpegHeader);
    ScanBench bench(image, 0, test::concat({record("JPG", "2048", "FFD8FFE0", "1"), record("TNY", "512", "22", "1")}));
    EXPECT_TRUE(bench.pass("GEN"));
    EXPECT_EQ(bench.sink.photos, (Photos{{image.sectors(0, 3), "GND00001.JPG", "GND00001.JPG", 0, 3},
                                         {image.sectors(20, 23), "GND00003.JPG", "GND00003.JPG", 20, 23}}));
    EXPECT_EQ(bench.state.GND_Image_number, 3u);
}

TEST(PhotoPass, ThoroughPassRestartsNamesButIdentifiersCountOnAcrossSearches)
{
    ScanBench bench(twoPhotos(), 0, kJpeg);
    bench.request.thoroughList = kJpeg;
    for (int search = 0; search < 2; ++search)
        EXPECT_TRUE(bench.pass("GEN") && bench.pass("THD"));
    ASSERT_EQ(bench.sink.photos.size(), 8u);
    const auto tag = [&](std::size_t k) { return bench.sink.photos[k].name + " " + bench.sink.photos[k].uid; };
    EXPECT_EQ(tag(2) + ", " + tag(5) + ", " + tag(6), "THD00001.JPG THD00001.JPG, GND00002.JPG GND00004.JPG, THD00001.JPG THD00003.JPG");
}

// An empty list reads nothing; a medium that cannot be opened abandons the search. Either
// way the pass fails and tells the user once.
TEST(PhotoPass, EmptyListOrUnopenableMediumFailsThePass)
{
    ScanBench empty(twoPhotos());
    EXPECT_FALSE(empty.pass("GEN"));
    EXPECT_EQ(empty.state.for_index, 0u);
    EXPECT_EQ(empty.host.count("read error"), 1);
    EXPECT_TRUE(empty.sink.photos.empty());

    ScanBench gone(twoPhotos(), 0, kJpeg);
    gone.request.sourceIdentifier = "disk4";
    gone.state.stop_now = 1;
    EXPECT_FALSE(gone.pass("GEN"));
    EXPECT_EQ(gone.state.stop_now, 0);
    EXPECT_EQ(gone.state.stop_screen_already_show, 1);
    const auto events = gone.host.events();
    EXPECT_EQ(std::vector<std::string>(events.begin() + 2, events.end()),
              (std::vector<std::string>{"stop ticker", "open failed: cannot open disk4: No such file or directory"}));
}

// Stop pressed while sector 150 is read, or inside sectors already read ahead (as the first
// photo is listed, while sector 140 is examined): the open photo is delivered up to there.
TEST(PhotoPass, StopDeliversThePartlyCollectedPhotoThenTheFinalScreen)
{
    const DiskImage image = twoPhotos();
    for (const bool inReadAhead : {false, true}) {
        SCOPED_TRACE(inReadAhead);
        ScanBench bench(image, 0, kJpeg);
        test::BeforeReadOpener stopper(bench.opener, [&](std::uint64_t sector) {
            if (sector == 150)
                bench.state.stop_now = 1;
        });
        if (inReadAhead)
            bench.sink.afterPhoto = [&] { bench.state.stop_now = bench.sink.photos.size() == 1; };
        const std::uint64_t end = inReadAhead ? 141 : 151;
        EXPECT_FALSE(bench.pass("GEN", inReadAhead ? nullptr : &stopper));
        EXPECT_EQ(bench.sink.photos, (Photos{{image.sectors(100, 140), "GND00001.JPG", "GND00001.JPG", 100, 140},
                                             {image.sectors(140, end), "GND00002.JPG", "GND00002.JPG", 140, end}}));
        EXPECT_EQ(bench.state.stop_now, 0);
        EXPECT_EQ(bench.state.for_index, end);
        const auto events = bench.host.events();
        EXPECT_EQ(std::vector<std::string>(events.end() - 2, events.end()), (std::vector<std::string>{"stop ticker", "final"}));
        EXPECT_EQ(bench.host.count("read error"), 0);
    }
}

// A driver that throws ends the pass as at the end of the range, with what was collected.
TEST(PhotoPass, ExceptionInTheLoopEndsThePassWithWhatWasCollected)
{
    const DiskImage image = twoPhotos();
    ScanBench bench(image, 0, kJpeg);
    test::BeforeReadOpener throwing(bench.opener, [](std::uint64_t sector) {
        if (sector == 160)
            throw std::runtime_error("device gone");
    });
    EXPECT_TRUE(bench.pass("GEN", &throwing));
    ASSERT_EQ(bench.sink.photos.size(), 2u);
    EXPECT_EQ(bench.sink.photos[1].bytes, image.sectors(140, 160));
    EXPECT_EQ(bench.host.count("read error"), 0);
}

// Failed reads: 120 inside the first photo, 140 the second header (lost with it), a run at
// 170. The reader both passes share fails the pass with one read error when the last sector
// cannot be read or the range start cannot be reached.
TEST(PhotoPass, UnreadableSectorsKeepEveryLaterSectorInPlace)
{
    const DiskImage image = twoPhotos();
    const auto zeroed = [&](std::uint64_t first, std::uint64_t end, std::initializer_list<std::uint64_t> bad) {
        std::vector<std::uint8_t> bytes = image.sectors(first, end);
        for (const std::uint64_t sector : bad)
            std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>((sector - first) * kSectorSize), kSectorSize, 0);
        return bytes;
    };
    struct Case { SectorFaults faults; bool passes; std::string readError; Photos photos; };
    const Case cases[] = {
        {{{120, 140, 170, 171}, {}}, true, "read error 4",
         {{zeroed(100, 200, {120, 140, 170, 171}), "GND00001.JPG", "GND00001.JPG", 100, 200}}},
        {{{199}, {}}, false, "read error 1", {{image.sectors(100, 140), "GND00001.JPG", "GND00001.JPG", 100, 140},
                                               {zeroed(140, 200, {199}), "GND00002.JPG", "GND00002.JPG", 140, 200}}},
        {{{}, {100}}, false, "read error", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.readError);
        ScanBench bench(image, 0, kJpeg);
        bench.range(100, 200);
        FaultySectorOpener faulty(bench.opener, c.faults);
        EXPECT_EQ(bench.pass("GEN", &faulty), c.passes);
        EXPECT_EQ(bench.sink.photos, c.photos);
        EXPECT_EQ(bench.host.count(c.readError), 1);
    }
}

} // namespace
} // namespace salvyn
