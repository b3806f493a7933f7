// Saving by format ends: the length each found file is saved with, and the files written.
#include "doubles/samplefiles.h"
#include "results/recoveryreport.h"
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
    auto stream = medium(image);
    SectorByteReader reader(*stream);

    SavingPlan plan;
    plan.add("PNG00001.PNG", 10, 41);   // a raw-file range: one sector into the next file
    plan.add("PNG00002.PNG", 40, 71);
    plan.add("MP300001.MP3", 70, 80);   // no format end for this type; the next file lies beyond its range
    plan.add("MP300002.MP3", 70, 80);   // the same sector again (a group): not a next file
    plan.add("MP300003.MP3", 85, 90);   // no file after it
    using Length = std::pair<std::uint64_t, LengthSource>;
    const std::vector<Length> expected = {{m_png.size(), LengthSource::Format}, {30 * kSectorSize, LengthSource::NextFile},
                                          {10 * kSectorSize, LengthSource::Range}, {10 * kSectorSize, LengthSource::Range},
                                          {5 * kSectorSize, LengthSource::Range}};
    for (std::size_t k = 0; k < expected.size(); ++k)
        EXPECT_EQ(Length(plan.lengthOf(k, reader).bytes, plan.lengthOf(k, reader).source), expected[k]) << k;
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
    plan.saveAll(saver, *stream, [&](const SavedFile& file) { saved.push_back(file); });
    ASSERT_EQ(saved.size(), 2u);
    for (const SavedFile& file : saved) {
        EXPECT_EQ(file.error + file.lengthFrom + " " + std::to_string(file.byteCount), "format " + std::to_string(m_png.size()));
        EXPECT_EQ(contentOf(file.savedPath), m_png);
    }
    EXPECT_EQ(saved[0].endSector, 253u) << "the report keeps the range the search listed";
    EXPECT_EQ(reportLine(saved[1], "card"), "GND00002.PNG\tPNG\t203\t204\t" + std::to_string(m_png.size()) + "\t"
                                                + test::sha256Of(m_png) + "\tformat\tcard");
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
