// Saving found files from the desktop: the progress window over a save on its own thread,
// the refusals before anything is read, and leaving the application during a save.
#include "results/ui/savefoundfiles.h"

#include "results/recoveryreport.h"
#include "results/ui/savefoundfilesdialog.h"
#include "resultsuifakes.h"
#include "core/scantestsupport.h"
#include "core/failingwriter.h"
#include "core/scratchfolder.h"

#include <QtWidgets>
#include <QtTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <semaphore>

namespace salvyn {
namespace {

namespace fs = std::filesystem;

using Chars = std::istreambuf_iterator<char>;
std::vector<std::uint8_t> contentOf(const fs::path& path) { std::ifstream in(path, std::ios::binary); return {Chars(in), Chars()}; }
std::size_t reportLines(const fs::path& folder) { std::ifstream in(folder / RecoveryReport::fileName); return std::count(Chars(in), Chars(), '\n'); }

struct SaveFoundFilesFlow : ::testing::Test {
    SaveFoundFilesFlow() : image(800)
    {
        image.fill(0, 800);
        memory.addImage("sdz1", image.bytes());
    }

    SaveFoundFiles& saver(SectorSourceOpener& opener, SaveWriter& writer = fileSystemWriter())
    {
        m_saver = std::make_unique<SaveFoundFiles>(&controlPanel, alerts, opener,
                                                   [this](const QString&, const std::string&) { return problem; }, writer);
        return *m_saver;
    }

    QString folder() const { return QString::fromStdString(scratch.path().string()); }

    const std::vector<FileToSave> files{{"DAT00001.DAT", 10, 30}, {"DAT00002.DAT", 40, 700}, {"DAT00003.DAT", 700, 705}};
    const std::vector<std::size_t> all{0, 1, 2};
    test::DiskImage image;
    MemorySectorOpener memory;
    test::ScratchFolder scratch;
    testing::FakeAlerts alerts;
    QWidget controlPanel;
    DestinationProblem problem = DestinationProblem::None;
    std::unique_ptr<SaveFoundFiles> m_saver;
};

TEST_F(SaveFoundFilesFlow, AFolderThatTakesNoFileSaysWhyAndOffersAnother)
{
    test::FailingWriter refusing;
    refusing.createError = EACCES;
    SaveFoundFiles& save = saver(memory, refusing);
    QSignalSpy another(&save, &SaveFoundFiles::anotherFolderWanted);
    alerts.answers = {QStringLiteral("Choose Another Folder\u2026")};
    ASSERT_TRUE(save.start(files, all, folder(), "sdz1"));
    ASSERT_TRUE(another.wait(30000));
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_TRUE(alerts.shown[0].informativeText.contains(QString::fromLocal8Bit(std::strerror(EACCES))));
    EXPECT_FALSE(alerts.shown[0].informativeText.contains(QStringLiteral("no longer there")));
}

TEST_F(SaveFoundFilesFlow, AFolderOnTheMediumsDiskIsRefusedBeforeAnythingIsReadThenEveryFileIsSavedAndListed)
{
    SaveFoundFiles& save = saver(memory);
    for (const auto refusal : {DestinationProblem::SameDisk, DestinationProblem::SameDevice, DestinationProblem::NotExaminable})
        EXPECT_FALSE((problem = refusal, save.start(files, all, folder(), "sdz1")));
    EXPECT_FALSE(save.start(files, all, folder() + QStringLiteral("/missing"), "sdz1"));
    EXPECT_FALSE(save.start(files, {}, folder(), "sdz1"));
    EXPECT_EQ(memory.openCount(), 0);
    problem = DestinationProblem::None;
    QSignalSpy ended(&save, &SaveFoundFiles::finished);
    ASSERT_TRUE(save.start(files, all, folder(), "sdz9")); // opened on the worker: it may ask for a password
    ASSERT_TRUE(ended.wait(30000));
    EXPECT_TRUE(fs::is_empty(scratch.path()));
    EXPECT_EQ(alerts.shown.size(), 6u);

    ASSERT_TRUE(save.start(files, all, folder(), "sdz1"));
    EXPECT_TRUE(save.isSaving());
    ASSERT_TRUE(save.progressDialog() && save.progressDialog()->isVisible());
    EXPECT_FALSE(save.start(files, all, folder(), "sdz1")); // one save at a time
    ASSERT_TRUE(!save.isSaving() || ended.wait(30000));
    EXPECT_EQ(contentOf(scratch.path() / "DAT00002.DAT"), image.sectors(40, 700));
    EXPECT_EQ(reportLines(scratch.path()), 4u);
    ASSERT_EQ(alerts.shown.size(), 7u);
    EXPECT_TRUE(alerts.shown.back().message.contains(folder())); // says where
    EXPECT_FALSE(save.isSaving());
}

TEST_F(SaveFoundFilesFlow, ClosingTheAppDuringASaveCancelsIt)
{
    std::binary_semaphore reached(0);
    test::BeforeReadOpener opener(memory, [&](std::uint64_t sector) { sector == 300 ? reached.release() : void(); });
    SaveFoundFiles& save = saver(opener);
    ASSERT_TRUE(save.start(files, all, folder(), "sdz1"));
    reached.acquire();
    m_saver.reset(); // wherever the worker is now, it stops there
    EXPECT_TRUE(alerts.shown.empty());
    // Whatever made it is whole and listed; nothing half-written is left behind.
    const std::size_t lines = reportLines(scratch.path());
    ASSERT_GT(lines, 0u);
    std::size_t filesInFolder = 0;
    for (const auto& entry : fs::directory_iterator(scratch.path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_NE(name.front(), '.') << name;
        filesInFolder += name != RecoveryReport::fileName;
    }
    EXPECT_EQ(filesInFolder + 1, lines);
    EXPECT_EQ(contentOf(scratch.path() / "DAT00001.DAT"), image.sectors(10, 30));
}

} // namespace
} // namespace salvyn
