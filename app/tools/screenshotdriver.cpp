// Walks the wizard through every screen on a disk image and saves a picture of each:
//   salvyn-screenshots IMAGE OUTPUT_FOLDER
// Run by ./scripts/screenshots under a virtual display; the app itself has no such option.
// Alerts and the end-of-search window are answered at once, so nothing waits for a user.
#include "app/appservices.h"
#include "app/modalwindowrunner.h"
#include "app/mytablecontroller.h"
#include "platform/qt/alertservice.h"
#include "results/samedevice.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QTableView>
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

class Driver {
public:
    Driver(salvyn::MyTableController& wizard, QString folder) : m_wizard(wizard), m_folder(std::move(folder)) {}

    void click(const char* name)
    {
        if (auto* button = m_wizard.findChild<QAbstractButton*>(QString::fromLatin1(name)))
            button->click();
        settle();
    }
    void selectFirstMedium()
    {
        auto* table = m_wizard.findChild<QTableView*>(QStringLiteral("idTableView"));
        table->selectionModel()->select(table->model()->index(0, 0),
                                        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    void waitForSearch()
    {
        m_wizard.waitForSearchThreads(-1);
        settle();
    }
    bool save(const char* name)
    {
        settle();
        const QString path = m_folder + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png");
        const bool saved = m_wizard.grab().save(path);
        std::printf("%s %s\n", saved ? "saved" : "could not save", qPrintable(path));
        return saved;
    }

private:
    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }

    salvyn::MyTableController& m_wizard;
    QString m_folder;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("salvyn"));
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: salvyn-screenshots IMAGE OUTPUT_FOLDER\n");
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
    driver.click("Next_btn");
    driver.waitForSearch();
    saved &= driver.save("4-photo-results");
    driver.click("Back_btn");
    driver.click("Back_btn");
    driver.click("_rec_mode_Video");
    driver.selectFirstMedium();
    driver.click("Next_btn");
    driver.click("Next_btn");
    saved &= driver.save("5-check-list");
    driver.click("Next_btn");
    driver.waitForSearch();
    saved &= driver.save("6-video-results");
    return saved ? 0 : 1;
}
