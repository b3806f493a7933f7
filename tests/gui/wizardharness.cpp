#include "wizardharness.h"

#include "media/qt/medialist.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace salvyn::testing {
namespace {

// The held stream: the real one, with one read that waits for the test.
class GatedStream final : public SectorStream {
public:
    GatedStream(std::unique_ptr<SectorStream> inner, GatedOpener* gate, std::uint64_t holdSector)
        : m_inner(std::move(inner)), m_gate(gate), m_holdSector(holdSector)
    {
    }
    bool seekToSector(std::uint64_t sector) override
    {
        m_position = sector;
        return m_inner->seekToSector(sector);
    }
    std::size_t readSector(std::uint8_t* sector) override
    {
        if (m_gate && m_position == m_holdSector)
            std::exchange(m_gate, nullptr)->arriveAndWait();
        const std::size_t read = m_inner->readSector(sector);
        m_position += read;
        return read;
    }
    std::uint64_t sectorCount() const override { return m_inner->sectorCount(); }

private:
    std::unique_ptr<SectorStream> m_inner;
    GatedOpener* m_gate;
    std::uint64_t m_holdSector;
    std::uint64_t m_position = 0;
};

class NoVolumes final : public VolumeLister {
public:
    QStringList mountedRemovableVolumes() override { return {}; }
};

class NoDiskInfo final : public DiskInfoProvider {
public:
    DiskInfo diskInfo(const QString&) override { return {}; }
};

} // namespace

SectorSourceOpening GatedOpener::open(const std::string& identifierOrPath)
{
    SectorSourceOpening opening = m_real.open(identifierOrPath);
    const int number = ++m_openings;
    if (opening.stream && number == m_holdOpening)
        opening.stream = std::make_unique<GatedStream>(std::move(opening.stream), this, m_holdSector);
    return opening;
}

void GatedOpener::holdAt(int opening, std::uint64_t sector)
{
    m_holdOpening = opening;
    m_holdSector = sector;
}

void GatedOpener::arriveAndWait()
{
    std::unique_lock lock(m_mutex);
    m_held = true;
    m_changed.notify_all();
    m_changed.wait(lock, [this] { return m_released; });
}

bool GatedOpener::waitUntilHeld()
{
    return WizardHarness::waitFor([this] {
        std::lock_guard lock(m_mutex);
        return m_held;
    });
}

void GatedOpener::release()
{
    std::lock_guard lock(m_mutex);
    m_released = true;
    m_changed.notify_all();
}

WizardHarness::WizardHarness()
{
    resourceFolder = scratch.filePath(QStringLiteral("share"));
    previewFolder = scratch.filePath(QStringLiteral("cache/preview"));
    QDir().mkpath(resourceFolder);
    QDir().mkpath(previewFolder);
}

WizardHarness::~WizardHarness()
{
    media.release(); // a test that failed half-way must not leave the worker waiting
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
    const QString path = scratch.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        ADD_FAILURE() << "cannot write " << path.toStdString();
    file.write(image);
    return path;
}

MyTableController& WizardHarness::start()
{
    ControllerServices services;
    services.alerts = &alerts;
    services.documents = &documents;
    services.icons = &icons;
    services.opener = &media;
    services.folderChooser = &folderChooser;
    services.modalRunner = &modalRunner;
    services.moviePlayerIn = [this](QWidget*) { return &movies; };
    services.volumeLister = std::make_unique<NoVolumes>();
    services.diskInfoProvider = std::make_unique<NoDiskInfo>();
    services.resourceFolder = resourceFolder;
    services.previewFolder = previewFolder;
    services.terminate = [this](bool threadsStillRunning) { terminations.push_back(threadsStillRunning); };
    m_controller = std::make_unique<MyTableController>(std::move(services));
    m_controller->awakeFromNib();
    return *m_controller;
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
    table->selectionModel()->select(table->model()->index(row, 0),
                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

bool WizardHarness::waitFor(const std::function<bool()>& done)
{
    return QTest::qWaitFor(done, 60000);
}

bool WizardHarness::waitForSearchEnd()
{
    const bool ended = m_controller->waitForSearchThreads(60000);
    QCoreApplication::processEvents(); // the found-file list's last batch, queued updates
    return ended;
}

int WizardHarness::finalScreens() const
{
    return static_cast<int>(events.filter(QRegularExpression(QStringLiteral("^modal:SaveFile_Info"))).size());
}

} // namespace salvyn::testing
