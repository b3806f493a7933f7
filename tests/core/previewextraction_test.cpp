#include "results/previewextraction.h"

#include "doubles/faultysectorsource.h"
#include "doubles/memorysectorsource.h"
#include "scan/searchrun.h"
#include "scantestsupport.h"
#include "scratchfolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

namespace salvyn {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// Every sector of the image is different: its number, then a pattern that moves with it.
Bytes numberedImage(std::uint64_t sectors)
{
    Bytes image(sectors * kSectorSize);
    for (std::uint64_t s = 0; s < sectors; ++s) {
        std::uint8_t* sector = image.data() + s * kSectorSize;
        for (std::size_t i = 0; i < kSectorSize; ++i)
            sector[i] = static_cast<std::uint8_t>(s * 31 + i * 7 + 1);
        std::memcpy(sector, &s, sizeof s);
    }
    return image;
}

Bytes sectorsOf(const Bytes& image, std::uint64_t first, std::uint64_t end)
{
    return Bytes(image.begin() + static_cast<std::ptrdiff_t>(first * kSectorSize),
                 image.begin() + static_cast<std::ptrdiff_t>(end * kSectorSize));
}

Bytes fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Records what the extraction asks of its window, from any thread. The final screen is
// claimed the way the real one is, so a second caller shows nothing.
class RecordingHost : public PreviewHost {
public:
    explicit RecordingHost(SearchState& state) : m_state(state) {}

    void beginSheet() override { record("sheet"); }
    void QuickLook_Preview_Thread(const std::string& name, PreviewWayOut way) override
    {
        record("show " + name + " " + std::to_string(static_cast<int>(way)));
    }
    void endSheet() override { record("end sheet"); }
    void Final_or_Stop_Screen() override { finalScreen("final by preview"); }

    void finalScreen(const std::string& by)
    {
        if (m_state.claimFinalScreen())
            record(by);
    }
    std::vector<std::string> events() const
    {
        std::lock_guard lock(m_lock);
        return m_events;
    }

private:
    void record(std::string event)
    {
        std::lock_guard lock(m_lock);
        m_events.push_back(std::move(event));
    }

    SearchState& m_state;
    mutable std::mutex m_lock;
    std::vector<std::string> m_events;
};

std::string shown(const std::string& name, PreviewWayOut way)
{
    return "show " + name + " " + std::to_string(static_cast<int>(way));
}

class PreviewExtractionTest : public testing::Test {
protected:
    PreviewExtractionTest() { media.addImage("sdz1", image); }

    PreviewWayOut extract(const std::string& name, std::uint64_t first, std::uint64_t end,
                          const std::string& medium = "sdz1")
    {
        return extraction.CreateFile_QuickLook_Preview(medium, {name, first, end});
    }

    test::ScratchFolder scratch;
    PreviewFolder folder{(scratch.path() / "cache" / "preview").string()};
    Bytes image = numberedImage(64);
    MemorySectorOpener media;
    SearchState state;
    RecordingHost host{state};
    PreviewExtraction extraction{media, state, folder, host};
};

TEST_F(PreviewExtractionTest, CopiesTheFoundFilesSectorsExactly)
{
    EXPECT_EQ(extract("MP400001.MP4", 5, 12), PreviewWayOut::Finished);
    EXPECT_EQ(extraction.preview_file_path(), folder.path() + "/dprv.MP4");
    EXPECT_EQ(fileBytes(extraction.preview_file_path()), sectorsOf(image, 5, 12));
    EXPECT_EQ(host.events(), (std::vector<std::string>{"sheet", shown("MP400001.MP4", PreviewWayOut::Finished),
                                                        "end sheet"}));
}

TEST_F(PreviewExtractionTest, EndNotAfterStartGivesAnEmptyFile)
{
    for (const auto& [first, end] : {std::pair<std::uint64_t, std::uint64_t>{9, 9}, {9, 4}}) {
        EXPECT_EQ(extract("AVI00001.AVI", first, end), PreviewWayOut::Finished);
        ASSERT_TRUE(fs::is_regular_file(extraction.preview_file_path()));
        EXPECT_EQ(fs::file_size(extraction.preview_file_path()), 0u);
    }
}

TEST_F(PreviewExtractionTest, UnreadableSectorBecomesZerosAndTheRestStaysInPlace)
{
    FaultySectorOpener faulty(media, SectorFaults{{7, 8, 11}, {}});
    PreviewExtraction onBadCard(faulty, state, folder, host);
    EXPECT_EQ(onBadCard.CreateFile_QuickLook_Preview("sdz1", {"clip.MTS", 5, 12}), PreviewWayOut::Finished);

    Bytes expected = sectorsOf(image, 5, 12);
    for (const std::uint64_t bad : {7, 8, 11})
        std::fill_n(expected.begin() + static_cast<std::ptrdiff_t>((bad - 5) * kSectorSize), kSectorSize, 0);
    EXPECT_EQ(fileBytes(onBadCard.preview_file_path()), expected);
}

TEST_F(PreviewExtractionTest, SectorsPastTheEndOfTheMediumAreZeros)
{
    EXPECT_EQ(extract("x.MP3", 62, 66), PreviewWayOut::Finished);
    Bytes expected = sectorsOf(image, 62, 64);
    expected.resize(4 * kSectorSize, 0);
    EXPECT_EQ(fileBytes(extraction.preview_file_path()), expected);
}

TEST_F(PreviewExtractionTest, FailedStartSeekGivesAnEmptyFileNotTheMediumsFirstSectors)
{
    FaultySectorOpener faulty(media, SectorFaults{{}, {20}});
    PreviewExtraction onBadCard(faulty, state, folder, host);
    EXPECT_EQ(onBadCard.CreateFile_QuickLook_Preview("sdz1", {"clip.MP4", 20, 30}), PreviewWayOut::Finished);
    EXPECT_EQ(fs::file_size(onBadCard.preview_file_path()), 0u);
}

TEST_F(PreviewExtractionTest, MediumThatCannotBeOpenedLeavesThePreviousPreviewAlone)
{
    ASSERT_EQ(extract("first.MP4", 1, 3), PreviewWayOut::Finished);
    const std::string firstPath = extraction.preview_file_path();

    EXPECT_EQ(extract("second.WAV", 1, 3, "gone"), PreviewWayOut::MediumNotOpened);
    EXPECT_EQ(extraction.preview_file_path(), firstPath);
    EXPECT_EQ(fileBytes(firstPath), sectorsOf(image, 1, 3));
    EXPECT_EQ(host.events().at(4), shown("second.WAV", PreviewWayOut::MediumNotOpened));
}

TEST_F(PreviewExtractionTest, HostileTypesStayInsideThePreviewFolder)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"../../../etc/passwd.MP4", "dprv.MP4"},
        {"evil.x/../../escape", "dprv"},
        {"up..", "dprv"},
        {"..", "dprv"},
        {"bell.a\ab", "dprv"},
        {"line.MP4\n", "dprv"},
        {"long." + std::string(65, 'A'), "dprv"},
        {"long." + std::string(64, 'A'), "dprv." + std::string(64, 'A')},
        {"\xC3\xA9t\xC3\xA9.\xC3\xA9t\xC3\xA9", "dprv.\xC3\xA9t\xC3\xA9"},
    };
    for (const auto& [name, previewName] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(extract(name, 1, 2), PreviewWayOut::Finished);
        EXPECT_EQ(extraction.preview_file_path(), folder.path() + "/" + previewName);
        EXPECT_EQ(fs::file_size(extraction.preview_file_path()), kSectorSize);
    }
    std::vector<fs::path> outside;
    for (const auto& entry : fs::recursive_directory_iterator(scratch.path()))
        if (entry.path().parent_path() != folder.path() && entry.path() != folder.path())
            outside.push_back(entry.path());
    EXPECT_EQ(outside, std::vector<fs::path>{scratch.path() / "cache"});
}

TEST_F(PreviewExtractionTest, PreviewFolderAndFilesArePrivate)
{
    extract("a.MP4", 1, 2);
    struct stat info {};
    ASSERT_EQ(lstat(folder.path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    ASSERT_EQ(lstat(extraction.preview_file_path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(PreviewExtractionTest, LinkPlantedAtThePreviewPathIsNotFollowed)
{
    fs::create_directories(folder.path());
    const std::string victim = scratch.write("victim.txt", "keep me");
    fs::create_symlink(victim, folder.path() + "/dprv.MP4");

    EXPECT_EQ(extract("a.MP4", 1, 3), PreviewWayOut::Finished);
    EXPECT_EQ(fileBytes(victim), Bytes({'k', 'e', 'e', 'p', ' ', 'm', 'e'}));
    EXPECT_FALSE(fs::is_symlink(extraction.preview_file_path()));
    EXPECT_EQ(fileBytes(extraction.preview_file_path()), sectorsOf(image, 1, 3));
}

TEST_F(PreviewExtractionTest, PreviewFolderThatIsALinkIsRefused)
{
    const fs::path elsewhere = scratch.path() / "elsewhere";
    fs::create_directories(elsewhere);
    fs::create_directories(fs::path(folder.path()).parent_path());
    fs::create_directory_symlink(elsewhere, folder.path());

    EXPECT_EQ(extract("a.MP4", 1, 3), PreviewWayOut::FileNotCreated);
    EXPECT_TRUE(fs::is_empty(elsewhere));
    EXPECT_EQ(host.events(), (std::vector<std::string>{"sheet", shown("a.MP4", PreviewWayOut::FileNotCreated),
                                                        "end sheet"}));
}

TEST_F(PreviewExtractionTest, UserStopEndsTheCopyButLeavesTheFinalScreenToTheSearch)
{
    state.stop_now = 1;
    EXPECT_EQ(extract("a.MP4", 1, 30), PreviewWayOut::Stopped);
    EXPECT_EQ(fs::file_size(extraction.preview_file_path()), 0u);
    EXPECT_EQ(state.stop_now.load(), 1);
    EXPECT_EQ(state.stop_screen_already_show.load(), 0);
    EXPECT_EQ(host.events().back(), "end sheet");
}

// A medium whose read of one sector waits until the test lets it go, so a search can end
// while the copy is in the middle of its range.
class GatedOpener : public SectorSourceOpener {
public:
    GatedOpener(SectorSourceOpener& inner, std::uint64_t gateSector) : m_inner(inner), m_gateSector(gateSector) {}
    SectorSourceOpening open(const std::string& identifier) override
    {
        SectorSourceOpening opening = m_inner.open(identifier);
        if (opening.stream)
            opening.stream = std::make_unique<Stream>(std::move(opening.stream), *this);
        return opening;
    }
    void waitUntilReached()
    {
        std::unique_lock lock(m_lock);
        m_changed.wait(lock, [&] { return m_reached; });
    }
    void release()
    {
        std::lock_guard lock(m_lock);
        m_released = true;
        m_changed.notify_all();
    }

private:
    struct Stream : SectorStream {
        Stream(std::unique_ptr<SectorStream> inner, GatedOpener& gate) : inner(std::move(inner)), gate(gate) {}
        bool seekToSector(std::uint64_t sector) override { return position = sector, inner->seekToSector(sector); }
        std::size_t readSector(std::uint8_t* sector) override
        {
            if (position == gate.m_gateSector) {
                std::unique_lock lock(gate.m_lock);
                gate.m_reached = true;
                gate.m_changed.notify_all();
                gate.m_changed.wait(lock, [&] { return gate.m_released; });
            }
            const std::size_t got = inner->readSector(sector);
            position += got;
            return got;
        }
        std::uint64_t sectorCount() const override { return inner->sectorCount(); }
        std::unique_ptr<SectorStream> inner;
        GatedOpener& gate;
        std::uint64_t position = 0;
    };

    SectorSourceOpener& m_inner;
    std::uint64_t m_gateSector;
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_reached = false;
    bool m_released = false;
};

using PreviewEndThreads = PreviewExtractionTest;

// The search's worker ends while the copy waits in a chosen sector: the copy stops at its
// next sector (or finishes, when that was its last) and the preview shows the final screen,
// exactly once.
TEST_F(PreviewEndThreads, SearchEndingDuringTheCopyHandsTheFinalScreenToThePreview)
{
    struct Case {
        std::uint64_t gateSector;
        PreviewWayOut way;
        std::uint64_t copiedEnd;
    };
    for (const Case& c : {Case{20, PreviewWayOut::Stopped, 21}, Case{59, PreviewWayOut::Finished, 60}}) {
        SearchState round;
        RecordingHost previewHost{round};
        test::ScanBench search(test::DiskImage(8), 2);
        ScanContext context{search.request, round, search.host, search.sink, search.opener, &search.rows};
        GatedOpener gated(media, c.gateSector);
        PreviewExtraction copy(gated, round, folder, previewHost);
        std::thread worker([&] {
            gated.waitUntilReached();
            runSearch(context);
            gated.release();
        });
        EXPECT_EQ(copy.CreateFile_QuickLook_Preview("sdz1", {"long.MP4", 10, 60}), c.way);
        worker.join();

        EXPECT_EQ(fileBytes(copy.preview_file_path()), sectorsOf(image, 10, c.copiedEnd));
        EXPECT_EQ(previewHost.events(), (std::vector<std::string>{"sheet", shown("long.MP4", c.way), "end sheet",
                                                                   "final by preview"}));
        EXPECT_EQ(search.host.count("final"), 0);
    }
}

} // namespace
} // namespace salvyn
