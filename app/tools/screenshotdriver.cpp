// Walks the wizard through every screen on a disk image and saves a picture of each; given a
// second image that holds a large video, also the preview of that video; given a phone's
// card image, also its photo and video results:
//   salvyn-screenshots IMAGE OUTPUT_FOLDER [LARGE_VIDEO_IMAGE [PHONE_CARD_IMAGE]]
// Run by ./scripts/screenshots under a virtual display; the app itself has no such option.
// Alerts and the end-of-search window are answered at once, so nothing waits for a user.
#include "app/appservices.h"
#include "app/modalwindowrunner.h"
#include "app/mytablecontroller.h"
#include "media/qt/medialist.h"
#include "platform/qt/alertservice.h"
#include "platform/sectorsourceopener.h"
#include "results/samedevice.h"
#include "results/ui/foundfilelist.h"
#include "results/ui/savefoundfiles.h"
#include "results/ui/savefoundfilesdialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QScreen>
#include <QSlider>
#include <QTableView>
#include <QThread>
#include <atomic>
#include <set>
#include <cstdio>

namespace {

class AnsweringAlerts final : public salvyn::AlertService {
public:
    QString runAlert(QWidget*, const QString& message, const QString&, const QStringList& buttons) override
    {
        std::fprintf(stderr, "alert: %s\n", qPrintable(message.trimmed()));
        return buttons.value(0);
    }
};

class AnsweringRunner final : public salvyn::ModalWindowRunner {
public:
    int runModal(QDialog&) override { return 1; }
};

// Reads the medium at the pace of a slow card, `pause` microseconds a sector, so a picture can
// catch a search or a save on its way.
class PacedOpener final : public salvyn::SectorSourceOpener {
public:
    explicit PacedOpener(salvyn::SectorSourceOpener& inner) : m_inner(inner) {}
    salvyn::SectorSourceOpening open(const std::string& identifier) override
    {
        salvyn::SectorSourceOpening opening = m_inner.open(identifier);
        if (opening.stream)
            opening.stream = std::make_unique<Stream>(std::move(opening.stream), pause);
        return opening;
    }
    std::atomic<unsigned long> pause{0};

private:
    struct Stream final : salvyn::SectorStream {
        Stream(std::unique_ptr<salvyn::SectorStream> inner, std::atomic<unsigned long>& pause)
            : inner(std::move(inner)), pause(pause) {}
        bool seekToSector(std::uint64_t sector) override { return inner->seekToSector(sector); }
        std::size_t readSector(std::uint8_t* into) override
        {
            if (pause != 0)
                QThread::usleep(pause);
            return inner->readSector(into);
        }
        std::uint64_t sectorCount() const override { return inner->sectorCount(); }
        std::unique_ptr<salvyn::SectorStream> inner;
        std::atomic<unsigned long>& pause;
    };
    salvyn::SectorSourceOpener& m_inner;
};

class Driver {
public:
    Driver(salvyn::MyTableController& wizard, QString folder) : m_wizard(wizard), m_folder(std::move(folder))
    {
        const salvyn::FoundFileList* found = wizard.images();
        QObject::connect(found, &QAbstractItemModel::modelReset, [this] { m_pictured.clear(); });
        QObject::connect(found, &QAbstractItemModel::dataChanged,
                         [this](const QModelIndex& top, const QModelIndex& bottom, const QList<int>& roles) {
                             for (int row = top.row(); roles.contains(Qt::DecorationRole) && row <= bottom.row(); ++row)
                                 m_pictured.insert(row);
                         });
    }

    void click(const char* name)
    {
        if (auto* button = m_wizard.findChild<QAbstractButton*>(QString::fromLatin1(name)))
            button->click();
        settle();
    }
    void selectFirstMedium() { selectMedium(false); }
    void selectLastMedium() { selectMedium(true); }
    // Back to the media screen, `mode` chosen and the disk image at `path` added and selected.
    bool chooseDiskImage(const char* mode, const QString& path)
    {
        for (int screen = 0; screen < 4 && !find<QTableView>("idTableView")->isVisible(); ++screen)
            click("Back_btn");
        click(mode);
        if (const auto refusal = m_wizard.addDiskImage(path)) {
            std::fprintf(stderr, "salvyn-screenshots: %s\n", qPrintable(refusal->reason));
            return false;
        }
        selectLastMedium();
        return true;
    }
    // The search, then the details of what it found.
    void waitForSearch()
    {
        m_wizard.waitForSearchThreads(-1);
        settle();
        QElapsedTimer timer;
        const salvyn::FoundFileList& found = *m_wizard.images();
        for (timer.start(); found.measuredCount() < found.rowCount() && timer.elapsed() < 10000;)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    // The frames of the videos found: every cell has had its picture, or its damaged mark.
    void waitForPictures()
    {
        const salvyn::FoundFileList& found = *m_wizard.images();
        QElapsedTimer timer;
        for (timer.start(); static_cast<int>(m_pictured.size()) < found.rowCount() && timer.elapsed() < 20000;)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::fprintf(stderr, "pictured %zu of %d\n", m_pictured.size(), found.rowCount());
    }
    bool save(const char* name)
    {
        settle();
        return saved(m_wizard.grab(), name);
    }
    // The whole screen, for a dialog standing over the wizard.
    bool saveScreen(const char* name)
    {
        settle();
        return saved(QGuiApplication::primaryScreen()->grabWindow(0), name);
    }
    template <typename T>
    T* find(const char* name) const { return m_wizard.findChild<T*>(QString::fromLatin1(name)); }
    void selectFirstFound(const char* browserName)
    {
        auto* browser = find<QListView>(browserName);
        browser->selectionModel()->select(browser->model()->index(0, 0), QItemSelectionModel::ClearAndSelect);
        settle();
    }
    static void wait(int ms)
    {
        QElapsedTimer timer;
        for (timer.start(); timer.elapsed() < ms;)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }

private:
    void selectMedium(bool last)
    {
        while (m_wizard.nsMutaryOfDataObject()->isReloading())
            settle();
        auto* table = m_wizard.findChild<QTableView*>(QStringLiteral("idTableView"));
        const int row = last ? table->model()->rowCount() - 1 : 0;
        table->selectionModel()->select(table->model()->index(row, 0),
                                        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    bool saved(const QPixmap& picture, const char* name) const
    {
        const QString path = m_folder + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png");
        const bool done = picture.save(path);
        std::printf("%s %s\n", done ? "saved" : "could not save", qPrintable(path));
        return done;
    }
    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }

    salvyn::MyTableController& m_wizard;
    QString m_folder;
    std::set<int> m_pictured; // rows whose picture was taken since the list was last emptied
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("salvyn"));
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 3 || arguments.size() > 5) {
        std::fprintf(stderr, "usage: salvyn-screenshots IMAGE OUTPUT_FOLDER [LARGE_VIDEO_IMAGE [PHONE_CARD_IMAGE]]\n");
        return 2;
    }
    // Pictures are written only where they cannot land on the medium being shown.
    if (salvyn::destinationProblem(QFile::encodeName(arguments[2]).toStdString(),
                                   QFile::encodeName(arguments[1]).toStdString())
        != salvyn::DestinationProblem::None) {
        std::fprintf(stderr, "salvyn-screenshots: refusing to write into %s: it may be on %s\n",
                     qPrintable(arguments[2]), qPrintable(arguments[1]));
        return 2;
    }
    QDir().mkpath(arguments[2]);
    salvyn::DesktopServices desktop;
    AnsweringAlerts alerts;
    AnsweringRunner runner;
    salvyn::ControllerServices services = desktop.controllerServices();
    services.alerts = &alerts;
    services.modalRunner = &runner;
    PacedOpener paced(*services.opener);
    services.opener = &paced;
    salvyn::MyTableController wizard(std::move(services));
    wizard.awakeFromNib();
    if (const auto refusal = wizard.addDiskImage(arguments[1])) {
        std::fprintf(stderr, "salvyn-screenshots: %s\n", qPrintable(refusal->reason));
        return 1;
    }
    Driver driver(wizard, arguments[2]);
    driver.selectFirstMedium();
    bool saved = driver.save("1-media");
    driver.click("Next_btn");
    saved &= driver.save("2-criteria-entire-disk");
    driver.click("_sector_range_rd");
    saved &= driver.save("3-criteria-sector-range");
    driver.click("_entire_disk_rd");
    paced.pause = 1500;
    driver.click("Next_btn");
    Driver::wait(1500);
    saved &= driver.save("3b-photo-search-running");
    paced.pause = 0;
    driver.waitForSearch();
    saved &= driver.save("4-photo-results");
    driver.find<QSlider>("_zoom_slider")->setValue(100);
    driver.selectFirstFound("imageBrowser");
    saved &= driver.save("4b-photo-selected-largest-zoom");
    driver.click("Back_btn");
    driver.click("Back_btn");
    driver.click("_rec_mode_Video");
    driver.selectFirstMedium();
    driver.click("Next_btn");
    driver.click("Next_btn");
    saved &= driver.save("5-check-list");
    driver.click("Next_btn");
    driver.waitForSearch();
    driver.waitForPictures();
    saved &= driver.save("6-video-results");
    driver.selectFirstFound("imageBrowser_2");
    Driver::wait(1000); // the movie's first picture
    saved &= driver.save("6b-video-preview");
    // Saving into a folder beside the pictures, at a slow card's pace.
    const QString destination = arguments[2] + QStringLiteral("/saved");
    QDir(destination).removeRecursively();
    QDir().mkpath(destination);
    driver.find<QLineEdit>("_path_Sig")->setText(destination);
    paced.pause = 400000; // the movie is only four sectors
    driver.click("_save_found_files_Sig");
    // Pictured once the files are measured and the bytes are being written.
    const auto writing = [&wizard] {
        const salvyn::SaveFoundFilesDialog* dialog = wizard.saveFoundFiles()->progressDialog();
        const auto* bytes = dialog ? dialog->findChild<QLabel*>(QStringLiteral("_save_bytes")) : nullptr;
        return bytes && bytes->text().contains(QStringLiteral(" of "));
    };
    while (wizard.saveFoundFiles()->isSaving() && !writing())
        Driver::wait(20);
    saved &= writing() && driver.saveScreen("6c-save-progress");
    paced.pause = 0;
    while (wizard.saveFoundFiles()->isSaving())
        Driver::wait(50);
    if (arguments.size() >= 4) {
        // A phone's video, larger than a found range, previewed whole with its first frame.
        if (!driver.chooseDiskImage("_rec_mode_Video", arguments[3]))
            return 1;
        driver.click("Next_btn");
        driver.click("Next_btn");
        driver.click("Next_btn");
        driver.waitForSearch();
        driver.selectFirstFound("imageBrowser_2");
        Driver::wait(3000); // the movie's first frame
        saved &= driver.save("7-large-video-preview");
    }
    if (arguments.size() == 5) {
        // A phone's card: photos and videos with their dates and cameras, one of each damaged.
        if (!driver.chooseDiskImage("_rec_mode_Photo", arguments[4]))
            return 1;
        driver.click("Next_btn");
        driver.click("Next_btn");
        driver.waitForSearch();
        saved &= driver.save("8-phone-photo-results");
        driver.click("Back_btn");
        driver.click("Back_btn");
        driver.click("_rec_mode_Video");
        driver.selectLastMedium();
        driver.click("Next_btn");
        driver.click("Next_btn");
        driver.click("Next_btn");
        driver.waitForSearch();
        driver.waitForPictures();
        saved &= driver.save("9-phone-video-results");
    }
    return saved ? 0 : 1;
}
