// A general pass and its thorough pass from one read of the medium: the same finds, names,
// sectors and read-error alerts as two reads of every sector on its own, and each sector read
// once.
#include "doubles/faultysectorsource.h"
#include "platform/rawsectoropener.h"
#include "platform/resourcefolder.h"
#include "scan/headermatcher.h"
#include "scan/sharedread.h"
#include "scantestsupport.h"
#include "scratchfolder.h"
#include "wizard/wizardmodel.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <sstream>

namespace salvyn {
namespace {

using test::DiskImage;

const SignatureLists& shippedLists()
{
    static const SignatureLists lists = [] {
        std::ostringstream ignored;
        return loadSignatureLists(findResourceFolder(), ignored);
    }();
    return lists;
}

// Random and blank stretches, every header of both lists at random sectors (some twice, so
// that both passes find files starting at one sector), and random bytes after each header.
DiskImage seededImage(ModeLists lists, std::mt19937_64& random)
{
    DiskImage image(4096);
    for (std::uint64_t s = 0; s < image.sectorCount(); s += 64)
        if (random() % 2 == 0)
            image.fill(s, s + 64, static_cast<std::uint8_t>(random()));
    for (const SignatureList* list : {&lists.general, &lists.thorough})
        for (std::size_t r = 0; r < recordCount(*list); ++r) {
            const SignatureRecord record = decodeSignatureRecord(*list, r);
            for (int copy = 0; copy < 2; ++copy)
                image.put(random() % image.sectorCount(), static_cast<std::size_t>(std::max<std::int64_t>(0, record.firstOffset)),
                          record.header);
        }
    return image;
}

struct Outcome {
    std::vector<test::FoundPhoto> photos;
    std::vector<test::FoundRawFile> rawFiles;
    std::vector<std::string> events;  // passes, openings and read-error alerts, in order
    bool operator==(const Outcome&) const = default;
};

// A disk image in memory and the same as a file, read as the app reads a medium: in 1 MiB
// blocks, each as two halves at once on two threads.
struct Medium {
    const DiskImage& image;
    std::string file;
};

// `photoBytes` off: photos taken by their sectors, as the command line takes them. Two reads
// take every sector of the image in memory on its own; one read takes the file's sectors in
// bulk where it can.
Outcome searched(const Medium& medium, int mode, bool thorough, SectorFaults faults, bool oneRead,
                 bool photoBytes = true)
{
    faults.oneByOne = !oneRead;
    const ModeLists lists = listsOfMode(shippedLists(), static_cast<RecoveryMode>(mode));
    test::ScanBench bench(medium.image, mode, lists.general);
    bench.sink.keepsPhotoBytes = photoBytes;
    bench.request.thorough = thorough;
    bench.request.thoroughList = thorough ? lists.thorough : SignatureList{};
    RawSectorOpener file;
    FaultySectorOpener faulty(oneRead ? static_cast<SectorSourceOpener&>(file) : bench.opener, faults);
    if (oneRead) {
        bench.request.sourceIdentifier = medium.file;
        bench.search(&faulty);
    } else {
        bench.state.beginListingOnce();
        if (bench.pass("GEN", &faulty) && thorough)
            bench.pass("THD", &faulty);
        bench.state.endListingOnce();
    }
    Outcome outcome{bench.sink.photos, bench.sink.rawFiles, {}};
    for (const std::string& event : bench.host.events())
        if (event.rfind("pass", 0) == 0 || event.rfind("opened", 0) == 0 || event.rfind("read error", 0) == 0)
            outcome.events.push_back(event);
    return outcome;
}

TEST(OneReadThreads, FindsWhatTwoReadsFindInEveryModeWithAndWithoutThorough)
{
    const test::ScratchFolder folder;
    std::mt19937_64 random(7);
    for (int mode = 0; mode < 4; ++mode) {
        const DiskImage seeded = seededImage(listsOfMode(shippedLists(), static_cast<RecoveryMode>(mode)), random);
        // The same again far on: the files open at the end of the first copy reach their
        // size limit in the blank stretch between, which a replayed pass passes over at once.
        DiskImage farApart = seeded.shifted(60000);
        farApart.put(0, 0, seeded.sectors(0, seeded.sectorCount()));
        SectorFaults faults;
        for (int k = 0; k < 6; ++k)
            faults.unreadableSectors.insert(random() % seeded.sectorCount());
        for (const DiskImage* image : {&seeded, static_cast<const DiskImage*>(&farApart)}) {
            const auto& bytes = image->bytes();
            const Medium medium{*image, folder.write("card.img", {reinterpret_cast<const char*>(bytes.data()), bytes.size()})};
            for (const SectorFaults& withFaults : {SectorFaults{}, faults})
                for (bool thorough : {false, true}) {
                    SCOPED_TRACE("mode " + std::to_string(mode) + (thorough ? ", thorough" : "")
                                 + (withFaults.unreadableSectors.empty() ? "" : ", unreadable sectors")
                                 + (image == &farApart ? ", far apart" : ""));
                    const Outcome twoReads = searched(medium, mode, thorough, withFaults, false);
                    EXPECT_GT(twoReads.photos.size() + twoReads.rawFiles.size(), 10u);
                    EXPECT_EQ(searched(medium, mode, thorough, withFaults, true), twoReads);
                    Outcome bySectors = twoReads;
                    for (test::FoundPhoto& photo : bySectors.photos)
                        photo.bytes.clear();
                    EXPECT_EQ(searched(medium, mode, thorough, withFaults, true, false), bySectors);
                }
        }
    }
}

// A thorough photo taken by its sectors passes over a blank stretch of the replayed read in
// one step, and still ends before the sector that reaches its size limit (2048 bytes: three
// sectors), as a photo collected sector by sector does.
TEST(OneRead, PhotosBySectorsEndAtTheirSizeLimitInsideABlankStretch)
{
    DiskImage image(100);
    image.fill(10, 12).put(10, 0, test::hexBytes("FFD8FFE1")).put(60, 0, test::hexBytes("FFD8FFE1"));
    for (bool photoBytes : {true, false}) {
        test::ScanBench bench(image, 0, test::record("JPG", "1000000", "FFD8FFDB", "1"));
        bench.request.thorough = true;
        bench.request.thoroughList = test::record("JPG", "2048", "FFD8FFE1", "1");
        bench.sink.keepsPhotoBytes = photoBytes;
        bench.search();
        std::vector<std::string> extents;
        for (const test::FoundPhoto& photo : bench.sink.photos)
            extents.push_back(photo.name + " " + std::to_string(photo.firstSector) + "-" + std::to_string(photo.endSector));
        EXPECT_EQ(extents, (std::vector<std::string>{"THD00001.JPG 10-13", "THD00002.JPG 60-63"})) << photoBytes;
    }
}

// Every sector read once, but those of the thorough pass's photos after their first (kept
// from the read), which are read back for the photo's bytes.
void expectEachSectorReadOnce(const std::map<std::uint64_t, int>& reads, const std::vector<test::FoundPhoto>& photos,
                              std::uint64_t sectorCount)
{
    std::set<std::uint64_t> readBack;
    for (const test::FoundPhoto& photo : photos)
        if (photo.name.rfind("THD", 0) == 0 && !photo.bytes.empty())
            for (std::uint64_t s = photo.firstSector + 1; s < photo.endSector; ++s)
                readBack.insert(s);
    EXPECT_EQ(reads.size(), sectorCount);
    for (const auto& [sector, count] : reads)
        EXPECT_EQ(count, readBack.contains(sector) ? 2 : 1) << "sector " << sector;
}

// Every mode after one read: each finds, names and counts what it finds searched alone, and
// the medium is read once (its sectors, plus the thorough photos' read back for their bytes;
// photos taken by their sectors are not read back).
TEST(OneRead, SeveralModesShareOneReadAndFindWhatEachFindsAlone)
{
    for (bool photoBytes : {true, false}) {
        SCOPED_TRACE(photoBytes ? "photos with their bytes" : "photos by their sectors");
        std::mt19937_64 random(13);
        DiskImage image(4096);
        for (std::uint64_t s = 0; s < image.sectorCount(); s += 64)
            image.fill(s, s + 32, static_cast<std::uint8_t>(random()));
        for (int mode = 0; mode < 4; ++mode) {
            const DiskImage seeded = seededImage(listsOfMode(shippedLists(), static_cast<RecoveryMode>(mode)), random);
            for (std::uint64_t s = 0; s < image.sectorCount(); ++s)
                if (mode == 0 || random() % 4 == 0)  // later modes' headers over the earlier ones, some of them
                    image.put(s, 0, seeded.sectors(s, s + 1));
        }
        std::vector<std::unique_ptr<test::ScanBench>> alone, shared;
        std::vector<const SearchRequest*> requests;
        for (int mode = 0; mode < 4; ++mode)
            for (auto* benches : {&alone, &shared}) {
                const ModeLists lists = listsOfMode(shippedLists(), static_cast<RecoveryMode>(mode));
                auto& bench = *benches->emplace_back(std::make_unique<test::ScanBench>(image, mode, lists.general));
                bench.request.thorough = true;
                bench.request.thoroughList = lists.thorough;
                bench.sink.keepsPhotoBytes = photoBytes;
            }
        for (const auto& bench : shared)
            requests.push_back(&bench->request);
        SharedRead sharedRead(requests);
        std::map<std::uint64_t, int> reads;
        test::BeforeReadOpener counting(shared[0]->opener, [&](std::uint64_t sector) { ++reads[sector]; });
        for (std::size_t mode = 0; mode < 4; ++mode) {
            alone[mode]->search();
            auto context = shared[mode]->context(&counting);
            sharedRead.runSearch(mode, context);
            EXPECT_EQ(shared[mode]->sink.photos, alone[mode]->sink.photos) << "mode " << mode;
            EXPECT_EQ(shared[mode]->sink.rawFiles, alone[mode]->sink.rawFiles) << "mode " << mode;
            EXPECT_FALSE(alone[mode]->sink.photos.empty() && alone[mode]->sink.rawFiles.empty()) << "mode " << mode;
        }
        expectEachSectorReadOnce(reads, shared[0]->sink.photos, image.sectorCount());
    }
}

} // namespace
} // namespace salvyn
