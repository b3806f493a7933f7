#include "scan/photopass.h"

#include "doubles/faultysectorsource.h"
#include "scantestsupport.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace salvyn {
namespace {

using test::DiskImage;
using test::hexBytes;
using test::record;
using test::ScanBench;

const std::vector<std::uint8_t> kJpegHeader = hexBytes("FFD8FFE0");
const SignatureList kJpeg = record("JPG", "20000000", "FFD8FFE0", "1");

// Sectors 0..199: photos start at 100 and 140, data in between and after.
DiskImage twoPhotos()
{
    DiskImage image(200);
    image.fill(100, 200).put(100, 0, kJpegHeader).put(140, 0, kJpegHeader);
    return image;
}

TEST(PhotoPass, PhotoRunsFromItsHeaderToTheSectorBeforeTheNextHeader)
{
    const DiskImage image = twoPhotos();
    ScanBench bench(image);
    bench.request.generalList = kJpeg;
    auto context = bench.context();

    EXPECT_TRUE(Photo_Recovey_Mode(context, "GEN"));
    ASSERT_EQ(bench.sink.photos.size(), 2u);
    EXPECT_EQ(bench.sink.photos[0].bytes, image.sectors(100, 140));
    EXPECT_EQ(bench.sink.photos[0].name, "GND00001.JPG");
    EXPECT_EQ(bench.sink.photos[0].uid, "GND00001.JPG");
    EXPECT_EQ(bench.sink.photos[1].bytes, image.sectors(140, 200));
    EXPECT_EQ(bench.sink.photos[1].name, "GND00002.JPG");
    EXPECT_EQ(bench.state.for_index, 200u);
}

TEST(PhotoPass, SameContentFurtherInGivesTheSamePhotos)
{
    const DiskImage image = twoPhotos();
    for (const std::uint64_t shift : {1ull, 7ull, 2049ull}) {
        ScanBench bench(image.shifted(shift));
        bench.request.generalList = kJpeg;
        bench.range(shift, shift + 200);
        auto context = bench.context();
        EXPECT_TRUE(Photo_Recovey_Mode(context, "GEN"));
        ASSERT_EQ(bench.sink.photos.size(), 2u) << shift;
        EXPECT_EQ(bench.sink.photos[0].bytes, image.sectors(100, 140)) << shift;
        EXPECT_EQ(bench.sink.photos[1].bytes, image.sectors(140, 200)) << shift;
        EXPECT_EQ(bench.sink.photos[0].firstSector, 100 + shift);
        EXPECT_EQ(bench.sink.photos[1].firstSector, 140 + shift);
        EXPECT_EQ(bench.host.events()[1], "progress " + std::to_string(shift) + " " + std::to_string(shift + 200));
    }
}

TEST(PhotoPass, BlankSectorsAreNeverTestedButBelongToAnOpenPhoto)
{
    DiskImage image(20);
    image.fill(2, 20).put(2, 0, kJpegHeader);
    image.put(5, 0, std::vector<std::uint8_t>(kSectorSize, 0)); // a blank sector inside the photo
    image.put(9, 0, std::vector<std::uint8_t>(kSectorSize, 0));
    ScanBench bench(image);
    // A header of zeros would match any blank sector if blanks were tested.
    bench.request.generalList = test::concat({record("ZRO", "999999", "0000", "1"), kJpeg});
    auto context = bench.context();

    EXPECT_TRUE(Photo_Recovey_Mode(context, "GEN"));
    ASSERT_EQ(bench.sink.photos.size(), 1u);
    EXPECT_EQ(bench.sink.photos[0].bytes, image.sectors(2, 20));
}

TEST(PhotoPass, SizeLimitEndsThePhotoBeforeTheSectorThatReachesIt)
{
    DiskImage image(36900);
    image.fill(0, 36900).put(0, 0, kJpegHeader);
    ScanBench bench(image);
    bench.request.generalList = record("JPG", "18874368", "FFD8FFE0", "1");
    auto context = bench.context();

    EXPECT_TRUE(Photo_Recovey_Mode(context, "GEN"));
    ASSERT_EQ(bench.sink.photos.size(), 1u);
    EXPECT_EQ(bench.sink.photos[0].bytes.size(), 36863u * kSectorSize);
    EXPECT_EQ(bench.sink.photos[0].bytes, image.sectors(0, 36863));
}

TEST(PhotoPass, AfterASizeEndSectorsAreSkippedUntilTheNextHeader)
{
    DiskImage image(30);
    image.fill(0, 30).put(0, 0, kJpegHeader).put(10, 0, hexBytes("22")).put(20, 0, kJpegHeader);
    ScanBench bench(image);
    // 2048 bytes: three sectors are kept, the fourth reaches the limit. A limit of 512
    // gives an empty photo, which is never listed but uses up its number.
    bench.request.generalList = test::concat({record("JPG", "2048", "FFD8FFE0", "1"), record("TNY", "512", "22", "1")});
    auto context = bench.context();

    EXPECT_TRUE(Photo_Recovey_Mode(context, "GEN"));
    ASSERT_EQ(bench.sink.photos.size(), 2u);
    EXPECT_EQ(bench.sink.photos[0].bytes, image.sectors(0, 3));
    EXPECT_EQ(bench.sink.photos[1].bytes, image.sectors(20, 23));
    EXPECT_EQ(bench.sink.photos[1].name, "GND00003.JPG");
    EXPECT_EQ(bench.state.GND_Image_number, 3u);
}

TEST(PhotoPass, ThoroughPassRestartsNamesButIdentifiersCountOnAcrossSearches)
{
    const DiskImage image = twoPhotos();
    ScanBench bench(image);
    bench.request.generalList = kJpeg;
    bench.request.thoroughList = kJpeg;
    for (int search = 0; search < 2; ++search) {
        auto context = bench.context();
        EXPECT_TRUE(Photo_Recovey_Mode(context, "GEN"));
        EXPECT_TRUE(Photo_Recovey_Mode(context, "THD"));
    }
    ASSERT_EQ(bench.sink.photos.size(), 8u);
    EXPECT_EQ(bench.sink.photos[2].name, "THD00001.JPG");
    EXPECT_EQ(bench.sink.photos[2].uid, "THD00001.JPG");
    EXPECT_EQ(bench.sink.photos[6].name, "THD00001.JPG");
    EXPECT_EQ(bench.sink.photos[6].uid, "THD00003.JPG");
    EXPECT_EQ(bench.sink.photos[5].uid, "GND00004.JPG");
}

TEST(PhotoPass, EmptyListReadsNothingAndReportsAReadError)
{
    ScanBench bench(twoPhotos());
    auto context = bench.context();
    EXPECT_FALSE(Photo_Recovey_Mode(context, "GEN"));
    EXPECT_EQ(bench.state.for_index, 0u);
    EXPECT_EQ(bench.host.count("read error"), 1);
    EXPECT_TRUE(bench.sink.photos.empty());
}

TEST(PhotoPass, MediumThatCannotBeOpenedAbandonsTheSearch)
{
    ScanBench bench(twoPhotos());
    bench.request.generalList = kJpeg;
    bench.request.sourceIdentifier = "disk4";
    bench.state.stop_now = 1;
    auto context = bench.context();

    EXPECT_FALSE(Photo_Recovey_Mode(context, "GEN"));
    EXPECT_EQ(bench.state.stop_now, 0);
    EXPECT_EQ(bench.state.stop_screen_already_show, 1);
    const auto events = bench.host.events();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[2], "stop ticker");
    EXPECT_EQ(events[3], "open failed: cannot open disk4: No such file or directory");
}

TEST(PhotoPass, StopDeliversThePartlyCollectedPhotoThenTheFinalScreen)
{
    const DiskImage image = twoPhotos();
    ScanBench bench(image);
    bench.request.generalList = kJpeg;
    test::BeforeReadOpener stopper(bench.opener, [&](std::uint64_t sector) {
        if (sector == 150)
            bench.state.stop_now = 1; // the Stop button, pressed while sector 150 is read
    });
    auto context = bench.context(&stopper);

    EXPECT_FALSE(Photo_Recovey_Mode(context, "GEN"));
    ASSERT_EQ(bench.sink.photos.size(), 2u);
    EXPECT_EQ(bench.sink.photos[1].bytes, image.sectors(140, 151));
    EXPECT_EQ(bench.state.stop_now, 0);
    EXPECT_EQ(bench.state.for_index, 151u);
    const auto events = bench.host.events();
    EXPECT_EQ(std::vector<std::string>(events.end() - 2, events.end()),
              (std::vector<std::string>{"stop ticker", "final"}));
    EXPECT_EQ(bench.host.count("read error"), 0);
}

TEST(PhotoPass, StopTakesEffectInsideSectorsAlreadyReadAhead)
{
    const DiskImage image = twoPhotos();
    ScanBench bench(image);
    bench.request.generalList = kJpeg;
    // Stop pressed as the first photo is listed, that is while sector 140 is examined.
    struct StopOnFirst : test::RecordingSink {
        SearchState* state = nullptr;
        void addImageWithDataAt(std::span<const std::uint8_t> bytes, const std::string& n, const std::string& u,
                                std::uint64_t firstSector) override
        {
            test::RecordingSink::addImageWithDataAt(bytes, n, u, firstSector);
            state->stop_now = 1;
        }
    } sink;
    sink.state = &bench.state;
    ScanContext context{bench.request, bench.state, bench.host, sink, bench.opener, nullptr};

    EXPECT_FALSE(Photo_Recovey_Mode(context, "GEN"));
    ASSERT_EQ(sink.photos.size(), 2u);
    EXPECT_EQ(sink.photos[0].bytes, image.sectors(100, 140));
    EXPECT_EQ(sink.photos[1].bytes, image.sectors(140, 141));
    EXPECT_EQ(bench.state.for_index, 141u);
}

TEST(PhotoPass, UnreadableSectorsKeepEveryLaterSectorInPlace)
{
    const DiskImage image = twoPhotos();
    ScanBench bench(image);
    bench.request.generalList = kJpeg;
    // 120 inside the first photo, 140 the second header (lost with it), 199 the last sector.
    FaultySectorOpener faulty(bench.opener, {{120, 140, 170, 171}, {}});
    auto context = bench.context(&faulty);

    EXPECT_TRUE(Photo_Recovey_Mode(context, "GEN"));
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
        ScanBench bench(twoPhotos());
        bench.request.generalList = kJpeg;
        bench.range(100, 200);
        FaultySectorOpener faulty(bench.opener, c.faults);
        auto context = bench.context(&faulty);
        EXPECT_FALSE(Photo_Recovey_Mode(context, "GEN"));
        EXPECT_EQ(bench.host.count("read error"), 1);
        EXPECT_EQ(bench.sink.photos.size(), c.photos);
    }
}

TEST(PhotoPass, ExceptionInTheLoopEndsThePassWithWhatWasCollected)
{
    const DiskImage image = twoPhotos();
    ScanBench bench(image);
    bench.request.generalList = kJpeg;
    test::BeforeReadOpener throwing(bench.opener, [](std::uint64_t sector) {
        if (sector == 160)
            throw std::runtime_error("device gone");
    });
    auto context = bench.context(&throwing);
    EXPECT_TRUE(Photo_Recovey_Mode(context, "GEN"));
    ASSERT_EQ(bench.sink.photos.size(), 2u);
    EXPECT_EQ(bench.sink.photos[1].bytes, image.sectors(140, 160));
    EXPECT_EQ(bench.host.count("read error"), 0);
}

} // namespace
} // namespace salvyn
