#include "wizardharness.h"

#include "media/qt/medialist.h"

#include <QtWidgets>
#include <gtest/gtest.h>

namespace salvyn::testing {
namespace {

struct NoVolumes final : VolumeLister { QStringList mountedRemovableVolumes() override { return {}; } };
struct NoDiskInfo final : DiskInfoProvider { DiskInfo diskInfo(const QString&) override { return {}; } };

} // namespace

void ReadGate::holdAt(std::uint64_t sector) { std::lock_guard lock(m_mutex); m_holdSector = sector; }

void ReadGate::beforeRead(std::uint64_t sector)
{
    std::unique_lock lock(m_mutex);
    if (m_held || m_holdSector != sector)
        return;
    m_held = true;
    m_changed.notify_all();
    m_changed.wait(lock, [this] { return m_released; });
}

bool ReadGate::waitUntilHeld()
{
    return WizardHarness::waitFor([this] {
        std::lock_guard lock(m_mutex);
        return m_held;
    });
}

void ReadGate::waitUntilHeldElsewhere() { std::unique_lock lock(m_mutex); m_changed.wait(lock, [this] { return m_held || m_released; }); }

void ReadGate::release() { std::lock_guard lock(m_mutex); m_released = true, m_changed.notify_all(); }

WizardHarness::WizardHarness() { QDir().mkpath(resourceFolder), QDir().mkpath(previewFolder); }

WizardHarness::~WizardHarness()
{
    gate.release(); // a test that failed half-way must not leave the worker waiting
    m_controller.reset();
}

void WizardHarness::writeList(const QString& fileName, const std::vector<std::array<QString, 5>>& records)
{
    QString text = QStringLiteral("Signature list written by a test\n\n");
    for (const auto& r : records)
        text += QStringLiteral("Extension : %1\nMax Size : %2\nHeader : %3\nPosition : %4\nSpare : -\n"
                               "Description : %5\n\n")
                    .arg(r[0], r[1], r[2], r[3], r[4]);
    QFile file(resourceFolder + QLatin1Char('/') + fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
}

QString WizardHarness::writeImage(const QString& name, std::uint64_t sectors, const std::vector<Placement>& placements)
{
    QByteArray image(static_cast<qsizetype>(sectors * 512), '\0');
    for (const Placement& p : placements)
        image.replace(static_cast<qsizetype>(p.sector * 512), p.bytes.size(), p.bytes);
    image.truncate(static_cast<qsizetype>(sectors * 512));
    QFile file(scratch.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(image) == image.size()) << name.toStdString();
    return file.fileName();
}

void WizardHarness::start()
{
    ControllerServices services{&alerts, &documents, &icons, &media, &folderChooser, &modalRunner,
                                [this](QWidget*) { return &movies; },
                                [] { return std::make_unique<FakeFrameDecoder>(); }, std::make_unique<NoVolumes>(),
                                std::make_unique<NoDiskInfo>(), resourceFolder, previewFolder,
                                [this](bool threadsStillRunning) { terminations.push_back(threadsStillRunning); }};
    m_controller = std::make_unique<MyTableController>(std::move(services));
    m_controller->awakeFromNib();
    waitFor([this] { return !m_controller->nsMutaryOfDataObject()->isReloading(); });
}

void WizardHarness::click(const QString& buttonName) const
{
    auto* button = find<QAbstractButton>(buttonName);
    ASSERT_NE(button, nullptr) << buttonName.toStdString();
    button->click();
}

void WizardHarness::selectMedium(int row) const
{
    auto* table = find<QTableView>(QStringLiteral("idTableView"));
    table->selectionModel()->select(table->model()->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

bool WizardHarness::waitForSearchEnd()
{
    const bool ended = m_controller->waitForSearchThreads(60000);
    QCoreApplication::processEvents(); // the found-file list's last batch, queued updates
    return ended;
}

int WizardHarness::finalScreens() const { return int(events.filter(QRegularExpression(QStringLiteral("^modal:SaveFile_Info"))).size()); }

} // namespace salvyn::testing
