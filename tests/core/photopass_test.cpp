#include "scan/photopass.h"

#include "doubles/faultysectorsource.h"
#include "scantestsupport.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace salvyn {
namespace {

using test::DiskImage;
using test::FoundPhoto;
using test::hexBytes;
using test::record;
using test::ScanBench;
using Photos = std::vector<FoundPhoto>;

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
        EXPECT_EQ(bench.sink.photos, (Photos{{image.sectors(100, 140), "GND00001.JPG", "GND00001.JPG", 100 + shift},
                                             {image.sectors(140, 200), "GND00002.JPG", "GND00002.JPG", 140 + shift}}));
        EXPECT_EQ(bench.state.for_index, 200 + shift);
        EXPECT_EQ(bench.host.events()[1], "progress " + std::to_string(shift) + " " + std::to_string(shift + 200));
    }
}

TEST(PhotoPass, BlankSectorsAreNeverTestedButBelongToAnOpenPhoto)
{
    DiskImage image(20);
    image.fill(2, 20).put(2, 0, kJpegHeader);
    image.put(5, 0, std::vector<std::uint8_t>(kSectorSize, 0)).put(9, 0, std::vector<std::uint8_t>(kSectorSize, 0));
    // A header of zeros would match any blank sector if blanks were tested.
    ScanBench bench(image, 0, test::concat({record("ZRO", "999999", "0000", "1"), kJpeg}));
    EXPECT_TRUE(bench.pass("GEN"));
    ASSERT_EQ(bench.sink.photos.size(), 1u);
    EXPECT_EQ(bench.sink.photos[0].bytes, image.sectors(2, 20));
}

TEST(PhotoPass, SizeLimitEndsThePhotoBeforeTheSectorThatReachesIt)
{
    DiskImage image(36900);
    image.fill(0, 36900).put(0, 0, kJpegHeader);
    ScanBench bench(image, 0, record("JPG", "18874368", "FFD8FFE0", "1"));
    EXPECT_TRUE(bench.pass("GEN"));
    ASSERT_EQ(bench.sink.photos.size(), 1u);
    EXPECT_EQ(bench.sink.photos[0].bytes, image.sectors(0, 36863));
}

TEST(PhotoPass, AfterASizeEndSectorsAreSkippedUntilTheNextHeader)
{
    DiskImage image(30);
    image.fill(0, 30).put(0, 0, kJpegHeader).put(10, 0, hexBytes("22")).put(20, 0, kJpegHeader);
    // 2048 bytes: three sectors are kept, the fourth reaches the limit. A limit of 512
    // gives an empty photo, which is never listed but uses up its number.
    ScanBench bench(image, 0, test::concat({record("JPG", "2048", "FFD8FFE0", "1"), record("TNY", "512", "22", "1")}));
    EXPECT_TRUE(bench.pass("GEN"));
    EXPECT_EQ(bench.sink.photos, (Photos{{image.sectors(0, 3), "GND00001.JPG", "GND00001.JPG", 0},
                                         {image.sectors(20, 23), "GND00003.JPG", "GND00003.JPG", 20}}));
    EXPECT_EQ(bench.state.GND_Image_number, 3u);
}

TEST(PhotoPass, ThoroughPassRestartsNamesButIdentifiersCountOnAcrossSearches)
{
    ScanBench bench(twoPhotos(), 0, kJpeg);
    bench.request.thoroughList = kJpeg;
    for (int search = 0; search < 2; ++search) {
        EXPECT_TRUE(bench.pass("GEN"));
        EXPECT_TRUE(bench.pass("THD"));
    }
    ASSERT_EQ(bench.sink.photos.size(), 8u);
    const auto tag = [&](std::size_t k) { return bench.sink.photos[k].name + " " + bench.sink.photos[k].uid; };
    EXPECT_EQ(tag(2) + ", " + tag(5) + ", " + tag(6), "THD00001.JPG THD00001.JPG, GND00002.JPG GND00004.JPG, THD00001.JPG THD00003.JPG");
}

TEST(PhotoPass, EmptyListReadsNothingAndReportsAReadError)
{
    ScanBench bench(twoPhotos());
    EXPECT_FALSE(bench.pass("GEN"));
    EXPECT_EQ(bench.state.for_index, 0u);
    EXPECT_EQ(bench.host.count("read error"), 1);
    EXPECT_TRUE(bench.sink.photos.empty());
}

TEST(PhotoPass, MediumThatCannotBeOpenedAbandonsTheSearch)
{
    ScanBench bench(twoPhotos(), 0, kJpeg);
    bench.request.sourceIdentifier = "disk4";
    bench.state.stop_now = 1;
    EXPECT_FALSE(bench.pass("GEN"));
    EXPECT_EQ(bench.state.stop_now, 0);
    EXPECT_EQ(bench.state.stop_screen_already_show, 1);
    const auto events = bench.host.events();
    EXPECT_EQ(std::vector<std::string>(events.begin() + 2, events.end()),
              (std::vector<std::string>{"stop ticker", "open failed: cannot open disk4: No such file or directory"}));
}

// Stop pressed while sector 150 is read, or inside sectors already read ahead (as the first
// photo is listed, while sector 140 is examined): the open photo is delivered up to there.
TEST(PhotoPass, StopDeliversThePartlyCollectedPhotoThenTheFinalScreen)
{
    const DiskImage image = twoPhotos();
    ScanBench bench(image, 0, kJpeg);
    test::BeforeReadOpener stopper(bench.opener, [&](std::uint64_t sector) {
        if (sector == 150)
            bench.state.stop_now = 1;
    });
    EXPECT_FALSE(bench.pass("GEN", &stopper));
    ASSERT_EQ(bench.sink.photos.size(), 2u);
    EXPECT_EQ(bench.sink.photos[1].bytes, image.sectors(140, 151));
    EXPECT_EQ(bench.state.stop_now, 0);
    EXPECT_EQ(bench.state.for_index, 151u);
    const auto events = bench.host.events();
    EXPECT_EQ(std::vector<std::string>(events.end() - 2, events.end()), (std::vector<std::string>{"stop ticker", "final"}));
    EXPECT_EQ(bench.host.count("read error"), 0);

    struct StopOnFirst : test::RecordingSink {
        SearchState* state = nullptr;
        void addImageWithDataAt(std::span<const std::uint8_t> bytes, const std::string& n, const std::string& u,
                                std::uint64_t firstSector) override
        {
            test::RecordingSink::addImageWithDataAt(bytes, n, u, firstSector);
            state->stop_now = 1;
        }
    } sink;
    ScanBench readAhead(image, 0, kJpeg);
    sink.state = &readAhead.state;
    ScanContext context{readAhead.request, readAhead.state, readAhead.host, sink, readAhead.opener, nullptr};
    EXPECT_FALSE(Photo_Recovey_Mode(context, "GEN"));
    ASSERT_EQ(sink.photos.size(), 2u);
    EXPECT_EQ(sink.photos[0].bytes, image.sectors(100, 140));
    EXPECT_EQ(sink.photos[1].bytes, image.sectors(140, 141));
    EXPECT_EQ(readAhead.state.for_index, 141u);
}

TEST(PhotoPass, UnreadableSectorsKeepEveryLaterSectorInPlace)
{
    const DiskImage image = twoPhotos();
    ScanBench bench(image, 0, kJpeg);
    // 120 inside the first photo, 140 the second header (lost with it), 199 the last sector.
    FaultySectorOpener faulty(bench.opener, {{120, 140, 170, 171}, {}});
    EXPECT_TRUE(bench.pass("GEN", &faulty));
    ASSERT_EQ(bench.sink.photos.size(), 1u);
    std::vector<std::uint8_t> expected = image.sectors(100, 200);
    for (const std::uint64_t bad : {120, 140, 170, 171})
        std::fill_n(expected.begin() + static_cast<std::ptrdiff_t>((bad - 100) * kSectorSize), kSectorSize, 0);
    EXPECT_EQ(bench.sink.photos[0].bytes, expected);
    EXPECT_EQ(bench.host.count("read error 4"), 1);
}

// The reader both passes share: a failed read of the last sector, or a range start that
// cannot be reached, fails the pass with one read error.
TEST(PhotoPass, FailedRangeStartOrLastReadFailsThePass)
{
    struct Case {
        SectorFaults faults;
        std::size_t photos;
    };
    for (const Case& c : {Case{{{199}, {}}, 2}, Case{{{}, {100}}, 0}}) {
        ScanBench bench(twoPhotos(), 0, kJpeg);
        bench.range(100, 200);
        FaultySectorOpener faulty(bench.opener, c.faults);
        EXPECT_FALSE(bench.pass("GEN", &faulty));
        EXPECT_EQ(bench.host.count("read error"), 1);
        EXPECT_EQ(bench.sink.photos.size(), c.photos);
    }
}

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

} // namespace
} // namespace salvyn
