// Saving by format ends: the length each found file is saved with, and the files written.
#include "doubles/memorymedium.h"
#include "doubles/samplefiles.h"
#include "results/formatendtable.h"
#include "results/recoveryreport.h"
#include "results/savejob.h"
#include "results/savingplan.h"
#include "results/sectorbytereader.h"
#include "scantestsupport.h"
#include "scratchfolder.h"

#include <gtest/gtest.h>


namespace salvyn {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

using test::contentOf;

// Lays `bytes` at `sector` of `image`, growing it as needed.
void layAt(Bytes& image, std::uint64_t sector, const Bytes& bytes)
{
    const std::size_t at = sector * kSectorSize;
    image.resize(std::max(image.size(), (at + bytes.size() + kSectorSize - 1) / kSectorSize * kSectorSize), 0);
    std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
}

class SavingPlanTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const test::Sample& png = test::sampleFor(test::recipeNamed("Png"));
        if (!png.skipReason.empty())
            GTEST_SKIP() << png.skipReason;
        m_png = png.bytes;
        ASSERT_LT(m_png.size(), 30 * kSectorSize);
    }

    std::unique_ptr<SectorStream> medium(const Bytes& image)
    {
        m_opener.addImage("card", image);
        return m_opener.open("card").stream;
    }

    Bytes m_png;
    MemorySectorOpener m_opener;
};

TEST_F(SavingPlanTest, FormatThenNextFileThenRange)
{
    Bytes image(100 * kSectorSize, 0);
    layAt(image, 10, m_png);
    Bytes broken = m_png;
    broken.resize(broken.size() - 12);  // IEND gone
    layAt(image, 40, broken);
    layAt(image, 100, Bytes(m_png.begin(), m_png.begin() + 8));  // a PNG signature matched by chance
    image.resize(300 * kSectorSize, 0);
    auto stream = medium(image);
    SectorByteReader reader(*stream);

    SavingPlan plan;
    plan.add("PNG00001.PNG", 10, 41);   // a raw-file range: one sector into the next file
    plan.add("PNG00002.PNG", 40, 71);
    plan.add("DAT00001.DAT", 70, 80);   // a type no format end knows; the next file lies beyond its range
    plan.add("DAT00002.DAT", 70, 80);   // the same sector again (a group): not a next file
    plan.add("DAT00003.DAT", 85, 300);  // the chance header inside its range does not cut it
    plan.add("PNG00003.PNG", 100, 300); // the chance header itself: kept, but not 200 sectors of it
    using Length = std::pair<std::uint64_t, LengthSource>;
    const std::vector<Length> expected = {{m_png.size(), LengthSource::Format}, {30 * kSectorSize, LengthSource::NextFile},
                                          {10 * kSectorSize, LengthSource::Range}, {10 * kSectorSize, LengthSource::Range},
                                          {215 * kSectorSize, LengthSource::Range}, {fallbackCapBytes("PNG", false), LengthSource::Cap}};
    ASSERT_LT(fallbackCapBytes("PNG", false), 200 * kSectorSize);
    for (std::size_t k = 0; k < expected.size(); ++k)
        EXPECT_EQ(Length(plan.lengthOf(k, reader).bytes, plan.lengthOf(k, reader).source), expected[k]) << k;
    plan.setSearchedEnd(10 + (m_png.size() + kSectorSize - 1) / kSectorSize);
    EXPECT_EQ(plan.lengthOf(0, reader).source, LengthSource::Format);
    EXPECT_EQ(plan.lengthOf(0, reader).bytes, m_png.size()) << "the file lies inside the searched sectors";
    plan.setSearchedEnd(10 + (m_png.size() - 1) / kSectorSize);  // the last byte's sector left out
    EXPECT_EQ(plan.lengthOf(0, reader).source, LengthSource::Range) << "a format end reads nothing past them";
}

// A start whose structure says no end (a streaming writer's size), or a real file cut short
// after its walk went on past the first sector, is a real file and is saved as far as the
// fallback goes. A header matched by chance is not: its first size leads the walk into
// random bytes past the first sector, which it looks at once and gives up on.
TEST(FormatEndFinding, StreamedSizesAndCutFilesAreRealStartsAndChanceHeadersAreNot)
{
    const auto riff = [](std::uint32_t size) {
        Bytes bytes = {'R', 'I', 'F', 'F', std::uint8_t(size), std::uint8_t(size >> 8), std::uint8_t(size >> 16),
                       std::uint8_t(size >> 24), 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0};
        bytes.resize(2048, 0x5A);
        return bytes;
    };
    // A header, then bytes that are no structure, with a zero where its first size leads.
    const auto chance = [](Bytes head, std::size_t ledTo) {
        head.resize(16384, 0x5A);
        head[ledTo] = 0;
        return head;
    };
    // The encoder's JPEG behind a 1002-byte APP1 segment, as a camera's EXIF block lies, cut
    // 200 bytes before its end.
    Bytes cutJpeg;
    if (const test::Sample& jpeg = test::sampleFor(test::recipeNamed("Jpeg")); jpeg.skipReason.empty()) {
        cutJpeg = {0xFF, 0xD8, 0xFF, 0xE1, 0x03, 0xEA};
        cutJpeg.resize(1006, 'e');
        cutJpeg.insert(cutJpeg.end(), jpeg.bytes.begin() + 2, jpeg.bytes.end() - 200);
        cutJpeg.resize(16384, 0);
    }
    const struct {
        const char* name;
        const char* type;
        Bytes bytes;
        bool recognised;
    } rows[] = {{"streamed RIFF, size 0", "WAV", riff(0), true},
                {"streamed RIFF, size all ones", "WAV", riff(0xFFFFFFFF), true},
                {"RIFF of two bytes", "WAV", riff(2), false},
                {"RIFF with a chunk larger than itself", "WAV", riff(20), false},
                {"JPEG whose first segment leads into random bytes", "JPG", chance({0xFF, 0xD8, 0xFF, 0xE0, 0x12, 0x34}, 4 + 0x1234), false},
                {"ID3 tag whose size leads into random bytes", "MP3", chance({'I', 'D', '3', 3, 0, 0, 0, 0, 0x20, 0}, 10 + 0x1000), false},
                {"JPEG with EXIF cut short in its image data", "JPG", cutJpeg, true}};
    for (const auto& row : rows) {
        if (row.bytes.empty())
            continue; // no encoder for the real file here
        test::MemoryMedium medium(row.bytes);
        const FormatEndFinding finding = findFormatEnd(medium, row.type, 0);
        EXPECT_EQ(finding.length, std::nullopt) << row.name;
        EXPECT_EQ(finding.recognisedStart, row.recognised) << row.name;
    }
}

// Searches for an end mark stop at the next file found; a walk never reads past the searched
// sectors, whatever the file's own sizes say.
TEST(FormatEndFinding, SearchesStopAtTheNextFileAndWalksAtTheSearchedEnd)
{
    constexpr std::uint64_t kNextFile = 64 * 1024, kSearchedEnd = 1024 * 1024, kWindow = 64 * 1024;
    const auto file = [](std::string_view head, std::uint8_t fill, std::string_view tail = {}) {
        Bytes bytes(head.begin(), head.end());
        bytes.resize(8 * 1024 * 1024 - tail.size(), fill);
        bytes.insert(bytes.end(), tail.begin(), tail.end());
        return bytes;
    };
    const struct {
        const char* name;
        const char* type;
        Bytes bytes;
        std::uint64_t readsUpTo;
    } rows[] = {
        {"JPEG without its end marker over zeros", "JPG", file(std::string_view("\xFF\xD8\xFF\xDA\x00\x02", 6), 0), kNextFile},
        {"PDF over a run of digits", "PDF", file("%PDF-1.4\n", '7', "\nstartxref\n9\n%%EOF\n"), kNextFile},
        {"zip entry whose sizes follow its data, never written",
         "ZIP", file(std::string_view("PK\x03\x04\x14\x00\x08\x00\x08\x00", 10), 0), kNextFile},
        {"MP4 whose media data claims 4 GiB", "MP4",
         file(std::string_view("\0\0\0\x10" "ftypisom\0\0\0\0" "\xFF\xFF\xFF\xF0" "mdat", 24), 0x5A), kSearchedEnd},
    };
    for (const auto& row : rows) {
        test::MemoryMedium medium(row.bytes);
        const FormatEndFinding finding = findFormatEnd(medium, row.type, 0, kSearchedEnd, kNextFile);
        EXPECT_EQ(finding.length, std::nullopt) << row.name;
        EXPECT_LE(medium.furthestAsked(), row.readsUpTo + kWindow) << row.name;
    }
}

TEST_F(SavingPlanTest, SavedFilesAreTheSampleItselfWhateverTheRangeSaid)
{
    Bytes image;
    layAt(image, 3, m_png);
    layAt(image, 3 + 200, m_png);   // a range that overshoots into a second copy
    image.resize(image.size() + 10 * kSectorSize, 0);
    auto stream = medium(image);
    test::ScratchFolder folder;
    FileSaver saver(folder.path());
    SavingPlan plan;
    plan.add("GND00001.PNG", 3, 3 + 250);
    plan.add("GND00002.PNG", 203, 203 + 1);   // a range shorter than the file
    std::vector<SavedFile> saved;
    SectorByteReader reader(*stream);
    for (std::size_t index = 0; index < plan.size(); ++index)
        saved.push_back(plan.save(index, plan.lengthOf(index, reader), saver, *stream));
    ASSERT_EQ(saved.size(), 2u);
    for (const SavedFile& file : saved) {
        EXPECT_EQ(file.error + file.lengthFrom + " " + std::to_string(file.byteCount), "format " + std::to_string(m_png.size()));
        EXPECT_EQ(contentOf(file.savedPath), m_png);
    }
    EXPECT_EQ(saved[0].endSector, 253u) << "the report keeps the range the search listed";
    EXPECT_EQ(reportLine(saved[1], "card"), "GND00002.PNG\tPNG\t203\t204\t" + std::to_string(m_png.size()) + "\t"
                                                + test::sha256Of(m_png) + "\tformat\tcard\twhole\tGND00002.PNG");
}

// What the results showed is what Save writes: a length the results measured is taken as it
// is (the file is not walked again), and a file not measured yet is walked as the results
// walk it, no further than the searched sectors.
TEST_F(SavingPlanTest, ASaveWritesTheLengthsTheResultsMeasuredAndMeasuresTheRestWithinTheSearch)
{
    Bytes image;
    layAt(image, 3, m_png);
    layAt(image, 40, m_png);
    image.resize(image.size() + 10 * kSectorSize, 0);
    m_opener.addImage("card", image);
    const std::uint64_t searchedEnd = 40 + (m_png.size() - 1) / kSectorSize; // the last byte's sector left out
    const SaveLength measured{m_png.size() - 100, LengthSource::Format};
    const std::vector<FileToSave> found{{"GND00001.PNG", 3, 40, measured}, {"GND00002.PNG", 40, 60, std::nullopt}};
    test::ScratchFolder folder;
    SaveJob job(found, {0, 1}, folder.path(), "card", fileSystemWriter(), {false, false, searchedEnd});
    const SaveOutcome outcome = job.run(*m_opener.open("card").stream);
    ASSERT_EQ(outcome.saved.size(), 2u);
    EXPECT_EQ(contentOf(outcome.saved[0].savedPath), Bytes(m_png.begin(), m_png.end() - 100));
    EXPECT_EQ(outcome.saved[1].lengthFrom + " " + std::to_string(outcome.saved[1].byteCount),
              "range " + std::to_string(20 * kSectorSize));
}

TEST(SectorByteReader, ReadsAcrossSectorsAndStopsAtTheEnd)
{
    test::DiskImage image(4);
    MemorySectorOpener opener;
    opener.addImage("card", image.fill(0, 4).bytes());
    auto stream = opener.open("card").stream;
    SectorByteReader reader(*stream);
    Bytes out(1000);
    EXPECT_EQ(reader.readAt(300, out.data(), out.size()), 1000u);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), image.bytes().begin() + 300));
    EXPECT_EQ(reader.readAt(1800, out.data(), out.size()), 2048u - 1800u);
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + 248, image.bytes().begin() + 1800));
    EXPECT_EQ(reader.readAt(4096, out.data(), out.size()), 0u);
}

} // namespace
} // namespace salvyn
