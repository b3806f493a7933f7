#include "results/previewextraction.h"

#include "doubles/faultysectorsource.h"
#include "doubles/memorysectorsource.h"
#include "scan/searchrun.h"
#include "scantestsupport.h"
#include "scratchfolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <thread>

namespace salvyn {
namespace {

namespace fs = std::filesystem;

// Records what the extraction asks of its window, from any thread. The final screen is
// claimed the way the real one is, so a second caller shows nothing.
std::string shown(const std::string& name, PreviewWayOut way)
{
    return "show " + name + " " + std::to_string(static_cast<int>(way));
}

class RecordingHost : public PreviewHost, public test::EventLog {
public:
    explicit RecordingHost(SearchState& state) : m_state(state) {}

    void beginSheet() override { note("sheet"); }
    void QuickLook_Preview_Thread(const std::string& name, PreviewWayOut way) override { note(shown(name, way)); }
    void endSheet() override { note("end sheet"); }
    void Final_or_Stop_Screen() override
    {
        if (m_state.claimFinalScreen())
            note("final by preview");
    }

private:
    SearchState& m_state;
};

class PreviewExtractionTest : public testing::Test {
protected:
    PreviewExtractionTest() { media.addImage("sdz1", image.fill(0, 64).bytes()); }

    PreviewWayOut extract(const std::string& name, std::uint64_t first, std::uint64_t end,
                          const std::string& medium = "sdz1")
    {
        return extraction.CreateFile_QuickLook_Preview(medium, {name, first, end});
    }

    test::ScratchFolder scratch;
    PreviewFolder folder{(scratch.path() / "cache" / "preview").string()};
    test::DiskImage image{64};
    MemorySectorOpener media;
    SearchState state;
    RecordingHost host{state};
    PreviewExtraction extraction{media, state, folder, host};
};

TEST_F(PreviewExtractionTest, CopiesTheFoundFilesSectorsExactlyIntoAPrivateFile)
{
    EXPECT_EQ(extract("MP400001.MP4", 5, 12), PreviewWayOut::Finished);
    EXPECT_EQ(extraction.preview_file_path(), folder.path() + "/dprv.MP4");
    EXPECT_EQ(test::contentOf(extraction.preview_file_path()), image.sectors(5, 12));
    EXPECT_EQ(host.events(), (std::vector<std::string>{"sheet", shown("MP400001.MP4", PreviewWayOut::Finished), "end sheet"}));
    for (const auto& [path, mode] : {std::pair(folder.path(), 0700u), std::pair(extraction.preview_file_path(), 0600u)}) {
        struct stat info {};
        ASSERT_EQ(lstat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, mode) << path;
    }
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
    EXPECT_EQ(test::contentOf(firstPath), image.sectors(1, 3));
    EXPECT_EQ(host.events().at(4), shown("second.WAV", PreviewWayOut::MediumNotOpened));
}

TEST_F(PreviewExtractionTest, HostileTypesStayInsideThePreviewFolder)
{
    const std::string a64(64, 'A');
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"../../../etc/passwd.MP4", "dprv.MP4"}, {"evil.x/../../escape", "dprv"}, {"up..", "dprv"}, {"..", "dprv"},
        {"bell.a\ab", "dprv"}, {"line.MP4\n", "dprv"}, {"long.A" + a64, "dprv"}, {"long." + a64, "dprv." + a64},
        {"\xC3\xA9t\xC3\xA9.\xC3\xA9t\xC3\xA9", "dprv.\xC3\xA9t\xC3\xA9"}};
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

TEST_F(PreviewExtractionTest, LinkPlantedAtThePreviewPathIsNotFollowed)
{
    fs::create_directories(folder.path());
    const std::string victim = scratch.write("victim.txt", "keep me");
    fs::create_symlink(victim, folder.path() + "/dprv.MP4");

    EXPECT_EQ(extract("a.MP4", 1, 3), PreviewWayOut::Finished);
    EXPECT_EQ(test::textOf(victim), "keep me");
    EXPECT_FALSE(fs::is_symlink(extraction.preview_file_path()));
    EXPECT_EQ(test::contentOf(extraction.preview_file_path()), image.sectors(1, 3));
}

TEST_F(PreviewExtractionTest, PreviewFolderThatIsALinkIsRefused)
{
    const fs::path elsewhere = scratch.path() / "elsewhere";
    fs::create_directories(elsewhere);
    fs::create_directories(fs::path(folder.path()).parent_path());
    fs::create_directory_symlink(elsewhere, folder.path());

    EXPECT_EQ(extract("a.MP4", 1, 3), PreviewWayOut::FileNotCreated);
    EXPECT_TRUE(fs::is_empty(elsewhere));
    EXPECT_EQ(host.events(), (std::vector<std::string>{"sheet", shown("a.MP4", PreviewWayOut::FileNotCreated), "end sheet"}));
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

using PreviewEndThreads = PreviewExtractionTest;

// The search's worker ends while the copy waits in a chosen sector: the copy stops at its
// next sector (or finishes, when that was its last) and the preview shows the final screen,
// exactly once.
TEST_F(PreviewEndThreads, SearchEndingDuringTheCopyHandsTheFinalScreenToThePreview)
{
    struct Case { std::uint64_t gateSector; PreviewWayOut way; std::uint64_t copiedEnd; };
    for (const Case& c : {Case{20, PreviewWayOut::Stopped, 21}, Case{59, PreviewWayOut::Finished, 60}}) {
        SearchState round;
        RecordingHost previewHost{round};
        test::ScanBench search(test::DiskImage(8), 2);
        ScanContext context{search.request, round, search.host, search.sink, search.opener, &search.rows};
        test::SectorGate gate(c.gateSector);
        test::BeforeReadOpener gated(media, [&](std::uint64_t sector) { gate.hold(sector); });
        PreviewExtraction copy(gated, round, folder, previewHost);
        std::thread worker([&] {
            gate.waitUntilReached();
            runSearch(context);
            gate.release();
        });
        EXPECT_EQ(copy.CreateFile_QuickLook_Preview("sdz1", {"long.MP4", 10, 60}), c.way);
        worker.join();

        EXPECT_EQ(test::contentOf(copy.preview_file_path()), image.sectors(10, c.copiedEnd));
        EXPECT_EQ(previewHost.events(), (std::vector<std::string>{"sheet", shown("long.MP4", c.way), "end sheet",
                                                                   "final by preview"}));
        EXPECT_EQ(search.host.count("final"), 0);
    }
}

} // namespace
} // namespace salvyn
