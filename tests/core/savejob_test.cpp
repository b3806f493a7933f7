#include "results/savejob.h"

#include "results/recoveryreport.h"
#include "failingwriter.h"
#include "scantestsupport.h"
#include "scratchfolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <thread>

namespace salvyn {
namespace {

namespace fs = std::filesystem;

using namespace test;

// A card with three found files of a type no format end knows, at 10..30, 40..700 and 700..705.
class SaveJobTest : public ::testing::Test {
protected:
    SaveJobTest() { m_memory.addImage("card", m_image.fill(0, 720).bytes()); }

    std::unique_ptr<SectorStream> medium() { return m_memory.open("card").stream; }

    // Every line of the report after its header names a file in the folder whose bytes, size,
    // hash and sectors it gives.
    void expectReportMatchesFolder(std::size_t rowCount, const fs::path& folder)
    {
        std::ifstream report(folder / RecoveryReport::fileName);
        std::string line;
        std::getline(report, line);
        EXPECT_EQ(line, reportHeaderLine());
        std::size_t rows = 0;
        for (; std::getline(report, line); ++rows) {
            std::vector<std::string> row;
            std::istringstream fields(line);
            for (std::string field; std::getline(fields, field, '\t');)
                row.push_back(field);
            ASSERT_EQ(row.size(), 10u);
            const auto bytes = contentOf(folder / row[0]);
            // The medium's bytes from the first sector on, as many as the file's length says.
            const auto range = m_image.sectors(std::stoull(row[2]), std::stoull(row[3]));
            ASSERT_LE(bytes.size(), range.size()) << row[0];
            EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), range.begin())) << row[0];
            EXPECT_EQ(row[4], std::to_string(bytes.size()));
            EXPECT_EQ(row[5], test::sha256Of(bytes));
            EXPECT_EQ(row[7], "card");
        }
        EXPECT_EQ(rows, rowCount);
    }

    const std::vector<FileToSave> m_files{{"DAT00001.DAT", 10, 30}, {"DAT00002.DAT", 40, 700}, {"DAT00003.DAT", 700, 705}};
    const std::vector<std::size_t> m_all{0, 1, 2};
    test::DiskImage m_image{720};
    MemorySectorOpener m_memory;
    test::ScratchFolder m_folder;
};

TEST_F(SaveJobTest, SavedFilesHoldTheMediumsBytesAndTheReportTheirHashes)
{
    SaveJob job(m_files, m_all, m_folder.path(), "card");
    const SaveOutcome outcome = job.run(*medium());
    EXPECT_TRUE(!outcome.cancelled && !outcome.failed && outcome.reportError == 0);
    EXPECT_EQ(outcome.saved.size(), 3u);
    expectReportMatchesFolder(3, m_folder.path());
    // The report too takes the user's usual permissions, as the umask says.
    const mode_t umask = ::umask(0);
    ::umask(umask);
    EXPECT_EQ(fs::status(m_folder.path() / RecoveryReport::fileName).permissions(), fs::perms(0666 & ~umask));
    const SaveStatus status = job.status();
    EXPECT_EQ(std::vector<std::uint64_t>({status.filesDone, status.fileCount, status.bytesDone, status.byteCount}),
              std::vector<std::uint64_t>({3, 3, (20u + 660u + 5u) * kSectorSize, (20u + 660u + 5u) * kSectorSize}));
}

TEST_F(SaveJobTest, AChosenFileEndsWhereAnyOtherFoundFileBegins)
{
    // The search also found a file at 300, inside the second file's range; only that file is chosen.
    const std::vector<FileToSave> found{m_files[0], m_files[1], {"DAT00004.DAT", 300, 320}, m_files[2]};
    SaveJob job(found, {1}, m_folder.path(), "card");
    // The total shown while the video is written is what will be written.
    std::uint64_t totalWhileSaving = 0;
    test::BeforeReadOpener opener(m_memory, [&](std::uint64_t sector) {
        if (sector == 200)
            totalWhileSaving = job.status().byteCount;
    });
    const SaveOutcome outcome = job.run(*opener.open("card").stream);
    EXPECT_EQ(totalWhileSaving, 260u * kSectorSize);
    ASSERT_EQ(outcome.saved.size(), 1u);
    EXPECT_EQ(outcome.saved[0].lengthFrom, "next file");
    EXPECT_EQ(contentOf(m_folder.path() / "DAT00002.DAT"), m_image.sectors(40, 300));
    EXPECT_EQ(namesIn(m_folder.path()), (std::vector<std::string>{"DAT00002.DAT", RecoveryReport::fileName}));
    expectReportMatchesFolder(1, m_folder.path());
    // Done means done: the total follows the file's true size.
    EXPECT_EQ(job.status().byteCount, 260u * kSectorSize);
    EXPECT_EQ(job.status().bytesDone, 260u * kSectorSize);
}

// Cancelled from another thread while the video is half read, out of space in the video, or
// in a folder where no report can be made: only whole files stay, each in the report.
TEST_F(SaveJobTest, CancelOutOfSpaceOrNoReportKeepOnlyWholeFiles)
{
    struct Case {
        const char* folder; std::uint64_t cancelAt, bytesAllowed;
        bool cancelled; std::string failed; int error, reportError; std::size_t saved;
    };
    for (const Case& c : {Case{"cancel", 300, ~0ull, true, "", 0, 0, 1},
                          Case{"full", ~0ull, 100 * kSectorSize, false, "DAT00002.DAT", ENOSPC, 0, 1},
                          Case{"missing/folder", ~0ull, ~0ull, false, "", 0, ENOENT, 0}}) {
        SCOPED_TRACE(c.folder);
        const fs::path folder = m_folder.path() / c.folder;
        if (c.reportError == 0)
            fs::create_directories(folder);
        test::FailingWriter writer;
        writer.bytesAllowed = c.bytesAllowed;
        SaveJob job(m_files, m_all, folder, "card", writer);
        test::BeforeReadOpener opener(m_memory, [&](std::uint64_t sector) {
            if (sector == c.cancelAt)
                std::thread([&job] { job.cancel(); }).join();
        });
        const SaveOutcome outcome = job.run(*opener.open("card").stream);
        EXPECT_EQ(outcome.cancelled, c.cancelled);
        EXPECT_EQ(outcome.failed ? std::pair(outcome.failed->name, outcome.failed->errorNumber) : std::pair(std::string(), 0),
                  std::pair(c.failed, c.error));
        EXPECT_EQ(outcome.reportError, c.reportError);
        EXPECT_EQ(outcome.saved.size(), c.saved);
        EXPECT_EQ(job.status().filesDone, c.saved);
        if (c.saved)
            expectReportMatchesFolder(1, folder);
    }
}

using SaveJobThreads = SaveJobTest;

TEST_F(SaveJobThreads, StatusIsReadableWhileTheWorkerSaves)
{
    SaveJob job(m_files, m_all, m_folder.path(), "card");
    const auto stream = medium();
    std::thread worker([&] { job.run(*stream); });
    std::uint64_t lastBytes = 0;
    for (SaveStatus status = job.status(); status.filesDone < 3; status = job.status()) {
        EXPECT_GE(status.bytesDone, lastBytes);
        EXPECT_LE(status.bytesDone, status.byteCount);
        lastBytes = status.bytesDone;
        std::this_thread::yield();
    }
    worker.join();
    expectReportMatchesFolder(3, m_folder.path());
}

} // namespace
} // namespace salvyn
