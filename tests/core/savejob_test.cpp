#include "results/savejob.h"

#include "results/recoveryreport.h"
#include "failingwriter.h"
#include "scantestsupport.h"
#include "scratchfolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/stat.h>
#include <thread>

namespace salvyn {
namespace {

namespace fs = std::filesystem;

using test::contentOf;
using test::namesIn;

// The report's lines after the header, each split into its columns.
std::vector<std::vector<std::string>> reportRows(const fs::path& folder)
{
    std::ifstream in(folder / RecoveryReport::fileName);
    std::vector<std::vector<std::string>> rows;
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, reportHeaderLine());
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        for (rows.emplace_back(); std::getline(fields, line, '\t');)
            rows.back().push_back(line);
    }
    return rows;
}

// A card with three found files: a photo at 10..30, a video at 40..700, a sound at 700..705.
class SaveJobTest : public ::testing::Test {
protected:
    SaveJobTest() : m_image(720)
    {
        m_image.fill(0, 720);
        m_memory.addImage("card", m_image.bytes());
    }

    std::unique_ptr<SectorStream> medium() { return m_memory.open("card").stream; }

    // Every row of the report names a file in the folder whose bytes, size, hash and sectors it gives.
    void expectReportMatchesFolder(std::size_t rowCount)
    {
        const auto rows = reportRows(m_folder.path());
        ASSERT_EQ(rows.size(), rowCount);
        for (const auto& row : rows) {
            ASSERT_EQ(row.size(), 8u);
            const auto bytes = contentOf(m_folder.path() / row[0]);
            // The medium's bytes from the first sector on, as many as the file's length says.
            const auto range = m_image.sectors(std::stoull(row[2]), std::stoull(row[3]));
            ASSERT_LE(bytes.size(), range.size()) << row[0];
            EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), range.begin())) << row[0];
            EXPECT_EQ(row[4], std::to_string(bytes.size()));
            EXPECT_EQ(row[5], test::sha256Of(bytes));
            EXPECT_EQ(row[7], "card");
        }
    }

    const std::vector<FileToSave> m_files{{"GND00001.JPG", 10, 30}, {"MP400001.MP4", 40, 700}, {"WAV00001.WAV", 700, 705}};
    const std::vector<std::size_t> m_all{0, 1, 2};
    test::DiskImage m_image;
    MemorySectorOpener m_memory;
    test::ScratchFolder m_folder;
};

TEST_F(SaveJobTest, SavedFilesHoldTheMediumsBytesAndTheReportTheirHashes)
{
    SaveJob job(m_files, m_all, m_folder.path(), "card");
    const SaveOutcome outcome = job.run(*medium());
    EXPECT_TRUE(!outcome.cancelled && !outcome.failed && outcome.reportError == 0);
    EXPECT_EQ(outcome.saved.size(), 3u);
    expectReportMatchesFolder(3);
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
    // The search also found a file at 300, inside the video's range; only the video is chosen.
    const std::vector<FileToSave> found{m_files[0], m_files[1], {"MOV00001.MOV", 300, 320}, m_files[2]};
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
    EXPECT_EQ(contentOf(m_folder.path() / "MP400001.MP4"), m_image.sectors(40, 300));
    EXPECT_EQ(namesIn(m_folder.path()), (std::vector<std::string>{"MP400001.MP4", RecoveryReport::fileName}));
    expectReportMatchesFolder(1);
    EXPECT_EQ(job.status().bytesDone, 260u * kSectorSize);
}

TEST_F(SaveJobTest, CancelMidFileKeepsOnlyWholeFiles)
{
    SaveJob job(m_files, m_all, m_folder.path(), "card");
    // Cancel from another thread while the video is half read.
    test::BeforeReadOpener opener(m_memory, [&job](std::uint64_t sector) {
        if (sector == 300)
            std::thread([&job] { job.cancel(); }).join();
    });
    const auto stream = opener.open("card").stream;
    const SaveOutcome outcome = job.run(*stream);
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_FALSE(outcome.failed);
    ASSERT_EQ(outcome.saved.size(), 1u);
    expectReportMatchesFolder(1);
    EXPECT_EQ(job.status().filesDone, 1u);
}

TEST_F(SaveJobTest, OutOfSpaceStopsAtTheFileThatDidNotFit)
{
    test::FailingWriter writer;
    writer.failWritesAfter(100 * kSectorSize);
    SaveJob job(m_files, m_all, m_folder.path(), "card", writer);
    const SaveOutcome outcome = job.run(*medium());
    ASSERT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.failed->name, "MP400001.MP4");
    EXPECT_EQ(outcome.failed->errorNumber, ENOSPC);
    ASSERT_EQ(outcome.saved.size(), 1u);
    expectReportMatchesFolder(1);
}

TEST_F(SaveJobTest, AFolderWithoutReportSavesNothing)
{
    SaveJob job(m_files, m_all, m_folder.path() / "missing", "card");
    const SaveOutcome outcome = job.run(*medium());
    EXPECT_EQ(outcome.reportError, ENOENT);
    EXPECT_TRUE(outcome.saved.empty());
    EXPECT_FALSE(outcome.failed);
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
    expectReportMatchesFolder(3);
}

} // namespace
} // namespace salvyn
