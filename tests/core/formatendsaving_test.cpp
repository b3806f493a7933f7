// Saving by format ends: the length each found file is saved with, the files written, and
// whole runs of salvyn-scan on disk images of real files.
#include "formatendsamples.h"
#include "platform/memorysectorsource.h"
#include "results/formatendtable.h"
#include "results/recoveryreport.h"
#include "results/savingplan.h"
#include "results/sectorbytereader.h"
#include "results/sha256.h"
#include "scratchfolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <sys/wait.h>

namespace salvyn {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

using test::contentOf;

std::string shaOf(const Bytes& bytes)
{
    Sha256 digest;
    digest.update(bytes);
    return digest.finishHex();
}

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
    const SaveLength png = plan.lengthOf(0, reader);
    EXPECT_EQ(png.bytes, m_png.size());
    EXPECT_EQ(png.source, LengthSource::Format);
    const SaveLength cut = plan.lengthOf(1, reader);
    EXPECT_EQ(cut.bytes, 30u * kSectorSize);
    EXPECT_EQ(cut.source, LengthSource::NextFile);
    const SaveLength last = plan.lengthOf(2, reader);
    EXPECT_EQ(last.bytes, 10u * kSectorSize);
    EXPECT_EQ(last.source, LengthSource::Range);
    EXPECT_EQ(plan.lengthOf(3, reader).source, LengthSource::Range);
    EXPECT_EQ(plan.lengthOf(4, reader).bytes, 5u * kSectorSize);
    EXPECT_EQ(plan.lengthOf(4, reader).source, LengthSource::Range);
    EXPECT_STREQ(lengthSourceText(LengthSource::Format), "format");
    EXPECT_STREQ(lengthSourceText(LengthSource::NextFile), "next file");
    EXPECT_STREQ(lengthSourceText(LengthSource::Range), "range");
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
        EXPECT_EQ(file.error, "");
        EXPECT_EQ(file.lengthFrom, "format");
        EXPECT_EQ(file.byteCount, m_png.size());
        EXPECT_EQ(contentOf(file.savedPath), m_png);
    }
    EXPECT_EQ(saved[0].endSector, 253u) << "the report keeps the range the search listed";
    EXPECT_EQ(reportLine(saved[1], "card"), "GND00002.PNG\tPNG\t203\t204\t" + std::to_string(m_png.size()) + "\t"
                                                + shaOf(m_png) + "\tformat\tcard");
}

TEST(SectorByteReader, ReadsAcrossSectorsAndStopsAtTheEnd)
{
    Bytes image(4 * kSectorSize);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i * 7);
    MemorySectorOpener opener;
    opener.addImage("card", image);
    auto stream = opener.open("card").stream;
    SectorByteReader reader(*stream);
    Bytes out(1000);
    EXPECT_EQ(reader.readAt(300, out.data(), out.size()), 1000u);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), image.begin() + 300));
    EXPECT_EQ(reader.readAt(1800, out.data(), out.size()), 2048u - 1800u);
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + 248, image.begin() + 1800));
    EXPECT_EQ(reader.readAt(4096, out.data(), out.size()), 0u);
}

// --- whole runs of salvyn-scan ---------------------------------------------------------

struct ReportRow {
    std::string name, type;
    std::uint64_t firstSector = 0, endSector = 0, bytes = 0;
    std::string sha256, lengthFrom;
};

std::vector<ReportRow> readReport(const fs::path& path)
{
    std::vector<ReportRow> rows;
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string field[7];
        for (std::string& one : field)
            std::getline(fields, one, '\t');
        rows.push_back({field[0], field[1], std::stoull(field[2]), std::stoull(field[3]), std::stoull(field[4]),
                        field[5], field[6]});
    }
    return rows;
}

fs::path builtProgram() { return fs::read_symlink("/proc/self/exe").parent_path() / "salvyn-scan"; }

int runScan(const std::string& arguments)
{
    const std::string command = builtProgram().string() + " " + arguments + " >/dev/null 2>&1";
    return WEXITSTATUS(std::system(command.c_str()));
}

TEST(SavingByFormatEnds, ALargeMp4ComesBackWholeAndByteIdentical)
{
    // Made once into the build folder and kept: over 100 MiB of H.264 that a range of
    // 18874368 bytes would cut at a sixth.
    const fs::path stored = fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "testdata" / "large.mp4";
    if (!fs::exists(stored) || fs::file_size(stored) < 100u * 1024 * 1024) {
        fs::create_directories(stored.parent_path());
        const test::Sample made = test::runEncoder(
            "ffmpeg", "ffmpeg -v error -f lavfi -i 'testsrc2=size=1280x720:rate=25,noise=alls=100:allf=t:all_seed=7' "
                      "-frames:v 60 -c:v libx264 -preset ultrafast -qp 0 -f mp4 out");
        if (!made.skipReason.empty())
            GTEST_SKIP() << made.skipReason;
        std::ofstream(stored, std::ios::binary)
            .write(reinterpret_cast<const char*>(made.bytes.data()), static_cast<std::streamsize>(made.bytes.size()));
    }
    const Bytes movie = contentOf(stored);
    ASSERT_GE(movie.size(), 100u * 1024 * 1024);

    test::ScratchFolder folder;
    Bytes image;
    layAt(image, 1, movie);
    image.resize(image.size() + 64 * kSectorSize, 0);
    const std::string imagePath = folder.write("card.img", std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
    image.clear();
    const fs::path out = folder.path() / "found";
    const fs::path report = folder.path() / "report.tsv";
    ASSERT_EQ(runScan("--mode video --types MP4 --no-thorough --out " + out.string() + " --report " + report.string() + " "
                      + imagePath),
              0);
    const std::vector<ReportRow> rows = readReport(report);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0].firstSector, 1u);
    EXPECT_EQ(rows[0].endSector - rows[0].firstSector, 36864u) << "the search lists the fixed range";
    EXPECT_EQ(rows[0].lengthFrom, "format");
    EXPECT_EQ(rows[0].bytes, movie.size());
    EXPECT_EQ(rows[0].sha256, shaOf(movie));
    EXPECT_TRUE(contentOf(out / rows[0].name) == movie);
}


struct LaidSample {
    std::string type;
    std::uint64_t sector;
    Bytes bytes;
};

std::string upperCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

TEST(SavingByFormatEnds, RealFilesComeBackAtTheirTrueSize)
{
    // Every sample the encoders here can make, laid one after another: some packed against
    // the next, some after free space, some after bytes that hold no header.
    Bytes image(8 * kSectorSize, 0);
    std::vector<LaidSample> laid;
    for (const test::SampleRecipe& recipe : test::sampleRecipes()) {
        const test::Sample& sample = test::sampleFor(recipe);
        if (!sample.skipReason.empty())
            continue;
        const std::uint64_t sector = image.size() / kSectorSize;
        layAt(image, sector, sample.bytes);
        laid.push_back({recipe.type, sector, sample.bytes});
        const std::size_t space = laid.size() % 3;
        Bytes filler(space * kSectorSize, laid.size() % 4 == 3 ? 0x11 : 0x00);
        image.insert(image.end(), filler.begin(), filler.end());
    }
    if (laid.size() < 10)
        GTEST_SKIP() << "too few encoders installed to build the image";
    image.resize(image.size() + 64 * kSectorSize, 0);
    test::ScratchFolder folder;
    const std::string imagePath = folder.write("card.img", std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));

    std::multimap<std::uint64_t, ReportRow> found;
    for (const char* mode : {"photo", "video", "raw", "audio"}) {
        const fs::path report = folder.path() / (std::string(mode) + ".tsv");
        runScan(std::string("--mode ") + mode + " --out " + (folder.path() / mode).string() + " --report " + report.string()
                + " " + imagePath);
        for (const ReportRow& row : readReport(report))
            found.emplace(row.firstSector, row);
    }

    std::uint64_t rangeBytes = 0, savedBytes = 0;
    for (const auto& [sector, row] : found) {
        rangeBytes += (row.endSector - row.firstSector) * kSectorSize;
        savedBytes += row.bytes;
    }
    int listed = 0, exactBefore = 0, exactAfter = 0;
    for (const LaidSample& sample : laid) {
        auto [begin, end] = found.equal_range(sample.sector);
        auto row = std::find_if(begin, end, [&](const auto& r) { return upperCase(r.second.type) == sample.type; });
        if (row == end)
            row = begin;
        if (row == end)
            continue;
        ++listed;
        const ReportRow& r = row->second;
        exactBefore += (r.endSector - r.firstSector) * kSectorSize == sample.bytes.size();
        const bool exact = r.bytes == sample.bytes.size() && r.sha256 == shaOf(sample.bytes);
        exactAfter += exact;
        if (formatEndRuleFor(r.type) != nullptr && upperCase(r.type) == sample.type) {
            EXPECT_TRUE(exact) << sample.type << " at sector " << sample.sector << " saved with " << r.bytes << " bytes ("
                               << r.lengthFrom << "), true size " << sample.bytes.size();
        }
    }
    std::cout << "real files laid: " << laid.size() << ", listed at their first sector: " << listed
              << "\nsaved at their exact size: before " << exactBefore << " (" << 100 * exactBefore / std::max(listed, 1)
              << " %), after " << exactAfter << " (" << 100 * exactAfter / std::max(listed, 1) << " %)"
              << "\nbytes written for all " << found.size() << " listed files: before " << rangeBytes << ", after "
              << savedBytes << " (image " << image.size() << ")\n";
    EXPECT_GT(exactAfter, exactBefore);
    EXPECT_LT(savedBytes, rangeBytes);
}

} // namespace
} // namespace salvyn
