// The shipped signature lists: well-formed, loadable without a warning, free of records that
// shadow each other or start the same file twice, and able to find real files of every type
// they name at the sector where those files start.
#include "platform/numbertext.h"
#include "platform/resourcefolder.h"
#include "doubles/samplefiles.h"
#include "scan/headermatcher.h"
#include "scan/photopass.h"
#include "scan/rawfilepass.h"
#include "scantestsupport.h"
#include "signatures/hexconversion.h"
#include "signatures/signaturelist.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <sstream>

namespace salvyn {
namespace test {

void PrintTo(const SampleRecipe& sample, std::ostream* out)
{
    *out << sample.name << " (" << sample.type << ", " << sample.pass << ")";
}

} // namespace test
namespace {

using test::DiskImage;
using test::SampleRecipe;
using test::ScanBench;

struct ShippedList {
    std::string file;
    int mode;
    bool thorough;
    const SignatureList* records;
};

const SignatureLists& shippedLists()
{
    static const SignatureLists lists = [] {
        std::ostringstream ignored;
        return loadSignatureLists(findResourceFolder(), ignored);
    }();
    return lists;
}

std::vector<ShippedList> everyList()
{
    const auto& lists = shippedLists();
    return {{"ZephExt2.dll", 0, false, &lists.Ext_Array},        {"ZephExt2Adv.dll", 0, true, &lists.Adv_Ext_Array},
            {"ZephVideo.dll", 1, false, &lists.Video_Array},     {"ZephVideoAdv.dll", 1, true, &lists.Adv_Video_Array},
            {"ZephRaw.dll", 2, false, &lists.RawFile_Array},     {"ZephRawAdv.dll", 2, true, &lists.Adv_RawFile_Array},
            {"ZephAudio.dll", 3, false, &lists.Audio_Array},     {"ZephAudioAdv.dll", 3, true, &lists.Adv_Audio_Array}};
}

const SignatureList& listFor(int mode, bool thorough)
{
    for (const auto& list : everyList())
        if (list.mode == mode && list.thorough == thorough)
            return *list.records;
    throw std::logic_error("no such list");
}

bool allOf(const std::string& text, int (*test)(int))
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [test](unsigned char c) { return test(c) != 0; });
}

// A sector holding nothing but the record's header at its position.
std::vector<std::uint8_t> sectorWithHeaderOf(const SignatureList& list, std::size_t index)
{
    const auto record = decodeSignatureRecord(list, index);
    std::vector<std::uint8_t> sector(kSectorSize, 0);
    std::copy(record.header.begin(), record.header.end(), sector.begin() + record.firstOffset);
    return sector;
}

std::string typeOf(const std::string& foundName) { return foundName.substr(foundName.rfind('.') + 1); }

TEST(SignatureDatabase, ShippedListsLoadWithoutAWarning)
{
    std::ostringstream warnings;
    const auto lists = loadSignatureLists(findResourceFolder(), warnings);
    EXPECT_EQ(warnings.str(), "");
    for (const auto& list : everyList())
        EXPECT_GE(recordCount(*list.records), 4u) << list.file;
    EXPECT_EQ(lists.Ext_Array, shippedLists().Ext_Array);
}

TEST(SignatureDatabase, EveryRecordIsWellFormed)
{
    for (const auto& list : everyList()) {
        for (std::size_t r = 0; r < recordCount(*list.records); ++r) {
            const auto entry = [&](std::size_t e) { return recordEntry(*list.records, r, e); };
            SCOPED_TRACE(list.file + " record " + std::to_string(r + 1) + " (" + entry(0) + " " + entry(2) + ")");
            EXPECT_TRUE(allOf(entry(0), std::isalnum)) << "type";
            EXPECT_EQ(entry(0), [&] { auto upper = entry(0); for (auto& c : upper) c = char(std::toupper(c)); return upper; }())
                << "written with a leading full stop";
            EXPECT_TRUE(allOf(entry(1), std::isdigit)) << "size";
            EXPECT_GT(entry(1).size(), 3u) << "a size above 512 bytes";
            // A photo search sets aside room for the largest photo of its lists.
            EXPECT_LE(list.mode == 0 ? unsignedLongLongValue(entry(1)) : 0, 256ull << 20) << "photo room";
            EXPECT_TRUE(allOf(entry(2), std::isxdigit)) << "header";
            EXPECT_EQ(entry(2).size() % 2, 0u) << "two digits per byte";
            EXPECT_GE(entry(2).size(), list.thorough ? 4u : 8u) << "general headers hold four bytes or more";
            EXPECT_TRUE(allOf(entry(3), std::isdigit) && entry(3)[0] != '0') << "position";
            const auto record = decodeSignatureRecord(*list.records, r);
            EXPECT_LE(record.firstOffset, 506) << "positions up to 507 are tested";
            EXPECT_LE(record.firstOffset + std::int64_t(record.header.size()), 512) << "the header fits the sector";
            EXPECT_EQ(entry(4), "0");
            EXPECT_FALSE(entry(5).empty());
            EXPECT_EQ(entry(5).find('.'), std::string::npos) << "description";
            EXPECT_EQ(entry(6), std::to_string(hex2int(entry(2).substr(0, 2))));
        }
    }
}

// First match wins: a record that an earlier one always beats is dead, usually a sign of
// a short header listed before the longer one that shares its first bytes.
TEST(SignatureDatabase, EveryRecordWinsASectorThatHoldsItsHeader)
{
    for (const auto& list : everyList()) {
        const HeaderMatcher matcher(*list.records);
        for (std::size_t r = 0; r < matcher.recordCount(); ++r)
            EXPECT_EQ(matcher.firstMatch(sectorWithHeaderOf(*list.records, r).data()), r)
                << list.file << " record " << r + 1 << " " << matcher.record(r).headerText;
    }
}

// The thorough pass adds its finds to the general pass's: a header both lists match would
// list one file twice.
TEST(SignatureDatabase, GeneralAndThoroughListsOfAModeNeverMatchTheSameSector)
{
    for (int mode = 0; mode < 4; ++mode)
        for (const bool thorough : {false, true}) {
            const auto& mine = listFor(mode, thorough);
            const HeaderMatcher other(listFor(mode, !thorough));
            for (std::size_t r = 0; r < recordCount(mine); ++r)
                EXPECT_EQ(other.firstMatch(sectorWithHeaderOf(mine, r).data()), HeaderMatcher::kNoMatch)
                    << "mode " << mode << (thorough ? " thorough " : " general ") << recordEntry(mine, r, 2);
        }
}

// Video, raw-file and audio searches start a file for every later record whose header text
// contains, or lies within, the matched one; the lists are written so that no record does.
TEST(SignatureDatabase, EveryVideoRawAndAudioRecordStartsExactlyOneFile)
{
    for (const auto& list : everyList()) {
        if (list.mode == 0)
            continue;
        for (std::size_t r = 0; r < recordCount(*list.records); ++r) {
            DiskImage image(8);
            image.put(3, 0, sectorWithHeaderOf(*list.records, r));
            ScanBench bench(image, list.mode, *list.records);
            ASSERT_TRUE(bench.pass("GEN"));
            ASSERT_EQ(bench.sink.rawFiles.size(), 1u) << list.file << " record " << r + 1;
            EXPECT_EQ(bench.sink.rawFiles[0].firstSector, 3u);
            EXPECT_EQ(typeOf(bench.sink.rawFiles[0].name), recordEntry(*list.records, r, 0));
        }
    }
}

// ---- Real files -------------------------------------------------------------------------

constexpr std::uint64_t kSampleSector = 40;
constexpr std::uint64_t kSectorsAfter = 24;

struct Finds {
    std::vector<test::FoundPhoto> photos[2];
    std::vector<test::FoundRawFile> rawFiles[2];
};

Finds searchBothPasses(const DiskImage& image, int mode)
{
    ScanBench bench(image, mode, listFor(mode, false));
    bench.request.thoroughList = listFor(mode, true);
    bench.request.thorough = true;
    Finds finds;
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_TRUE(bench.pass(pass == 0 ? "GEN" : "THD")) << pass;
        finds.photos[pass] = std::exchange(bench.sink.photos, {});
        finds.rawFiles[pass] = std::exchange(bench.sink.rawFiles, {});
    }
    return finds;
}

// Filler that holds no header, the sample at kSampleSector, filler after it.
DiskImage imageWithSample(const std::vector<std::uint8_t>& sample)
{
    const std::uint64_t sampleSectors = (sample.size() + kSectorSize - 1) / kSectorSize;
    DiskImage image(kSampleSector + sampleSectors + kSectorsAfter);
    const auto filler = test::fillerBytes(kSectorSize);
    for (std::uint64_t s = 0; s < image.sectorCount(); ++s)
        image.put(s, 0, filler);
    std::vector<std::uint8_t> padded = sample;
    padded.resize(sampleSectors * kSectorSize, 0);
    image.put(kSampleSector, 0, padded);
    return image;
}

class RealFile : public testing::TestWithParam<SampleRecipe> {};

TEST_P(RealFile, IsFoundOnceByItsPassWithItsTypeAtItsFirstSector)
{
    const auto& sample = GetParam();
    const test::Sample& made = test::sampleFor(sample);
    if (made.encoderMissing)
        GTEST_SKIP() << made.skipReason << ", so no " << sample.type << " sample can be made";
    ASSERT_EQ(made.skipReason, "");
    const auto& bytes = made.bytes;
    const int expected = sample.pass == "GEN" ? 0 : 1;
    const std::uint64_t sampleEnd = kSampleSector + (bytes.size() + kSectorSize - 1) / kSectorSize;
    const auto finds = searchBothPasses(imageWithSample(bytes), sample.mode);

    if (sample.mode == 0) {
        ASSERT_EQ(finds.photos[expected].size(), 1u) << sample.pass << " photos";
        const auto& photo = finds.photos[expected][0];
        EXPECT_EQ(typeOf(photo.name), sample.type);
        EXPECT_EQ(photo.firstSector, kSampleSector);
        ASSERT_GE(photo.bytes.size(), bytes.size()) << "the size limit cut the photo short";
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), photo.bytes.begin()));
        EXPECT_TRUE(finds.photos[1 - expected].empty()) << "found again by the other pass";
        return;
    }
    const auto startsAtSample = [](const test::FoundRawFile& file) { return file.firstSector == kSampleSector; };
    const auto& mine = finds.rawFiles[expected];
    ASSERT_EQ(std::count_if(mine.begin(), mine.end(), startsAtSample), 1) << sample.pass << " files at the sample";
    const auto found = *std::find_if(mine.begin(), mine.end(), startsAtSample);
    EXPECT_EQ(typeOf(found.name), sample.type);
    const auto& other = finds.rawFiles[1 - expected];
    EXPECT_EQ(std::count_if(other.begin(), other.end(), startsAtSample), 0) << "found again by the other pass";
    // A general header never fires inside a real file, nor in the filler around it.
    const auto& general = finds.rawFiles[0];
    EXPECT_EQ(general.size(), expected == 0 ? 1u : 0u) << "general finds";
    EXPECT_GE(found.endSector, expected == 0 ? sampleEnd : 0) << "the file was cut short";
}

INSTANTIATE_TEST_SUITE_P(SignatureDatabase, RealFile, testing::ValuesIn(test::allSampleRecipes()),
                         [](const testing::TestParamInfo<SampleRecipe>& info) { return info.param.name; });

} // namespace
} // namespace salvyn
