// MyTableController: starting a search, what the passes show on the way, the end-of-search
// screen, and leaving the application.
#include "app/criteriascreen.h"
#include "app/infowindows.h"
#include "app/modalwindowrunner.h"
#include "app/mytablecontroller.h"
#include "app/wizardtexts.h"
#include "platform/qt/alertservice.h"
#include "results/previewfolder.h"
#include "results/ui/foundfilelist.h"
#include "results/ui/imagebrowserview.h"
#include "results/ui/resultstablemodel.h"
#include "scan/progress.h"
#include "scan/qt/runonui.h"
#include "scan/qt/searchthreads.h"
#include "scan/qt/uithreadscanhost.h"
#include "scan/qt/foundfilelistsink.h"
#include "scan/scancontext.h"
#include "scan/searchrun.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>

namespace salvyn {

void MyTableController::startSearch(SearchRequest request)
{
    m_threads->waitUntilFinished(-1); // never two searches at once
    m_request = std::move(request);
    m_context = std::make_unique<ScanContext>(ScanContext{m_request, m_state, *m_workerHost, *m_workerSink,
                                                          *m_services.opener, &m_resultsTable->rows()});
    ScanContext* context = m_context.get();
    const auto show = [this](const ProgressDisplay& display) { m_window.showProgress(display); };
    m_threads->start([context] { runSearch(*context); },
                     [this, show] {
                         if (const auto display = progressTick(m_state))
                             runOnUi(this, [show, shown = *display] { show(shown); });
                     },
                     [this, show] {
                         if (const auto display = progressTick(m_state))
                             show(*display);
                     });
}

void MyTableController::passStarted(const std::string& passName, const std::string& caption)
{
    m_window.search._Mode_label->setText(QString::fromStdString(caption));
    if (passName != "GEN")
        return; // the thorough pass adds to what the general pass found
    if (mode() == RecoveryMode::Photo)
        m_window.resetZoom();
    else
        m_window.search.imageBrowser_2->resetPrev_Index();
    m_images->removeAllImages();
}

void MyTableController::progressSetUp(std::uint64_t startSector, std::uint64_t endSector)
{
    const std::uint64_t total = endSector - startSector;
    m_window.showProgress({sectorLabelText(startSector, endSector, completedPercent(startSector, startSector, total)),
                           progressBarValues(startSector, startSector, total)});
}

void MyTableController::deviceOpened()
{
    m_window.setPhotoCriteriaEnabled(false); // in every mode: nothing else may change while it runs
    if (mode() != RecoveryMode::Photo)
        m_window.search._QuickLook_View_Box->setTitle(texts::kNoPreviewTitle);
    m_window.search._Progress_Horz->setValue(0);
    setHelp(texts::kHelpSearchRunning);
}

void MyTableController::deviceOpenFailed(const SectorSourceError&)
{
    m_wizard.searchCouldNotStart();
    m_threads->stopTicker();
    m_window.showLayout(m_wizard.layout(), mode());
    if (mode() != RecoveryMode::Photo)
        showPreviewView(false);
    m_state.stop_now = 0;
    m_images->resetAdded_item_count();
    m_state.stop_screen_already_show = 1;
    if (!m_quitting)
        m_services.alerts->message(this, texts::kMediaReadError);
}

void MyTableController::showReadError(std::uint64_t)
{
    if (!m_quitting)
        m_services.alerts->message(this, texts::kMediaReadError);
}

void MyTableController::stopTicker()
{
    m_threads->stopTicker();
}

void MyTableController::Final_or_Stop_Screen()
{
    m_threads->stopTicker(); // every search ends its ticker, also one ended by leaving
    if (m_quitting)
        return;
    m_state.stop_screen_already_show = 1;
    m_state.stop_now = 1;
    setHelp(texts::kHelpSearchEnded);
    for (QWidget* control : m_window.search.progressControls())
        control->hide();
    m_images->flushPending();
    QDialog& info = mode() == RecoveryMode::Photo ? static_cast<QDialog&>(*m_saveFileInfo)
                                                  : static_cast<QDialog&>(*m_saveFileInfoForRaw);
    m_services.modalRunner->runModal(info); // any way of closing it goes on like OK
    m_state.stop_now = 0;
    m_wizard.searchEnded();
    m_window.showLayout(m_wizard.layout(), mode());
    m_window.setPhotoCriteriaEnabled(true);
}

void MyTableController::resetBrowsers()
{
    m_images->removeAllImages();
    m_window.resetZoom();
    m_window.search.imageBrowser_2->setZoomValue(ImageBrowserView::rawFileBrowserZoom);
}

bool MyTableController::searchRunning() const
{
    return m_threads->isRunning();
}

bool MyTableController::waitForSearchThreads(int timeoutMs)
{
    return m_threads->waitUntilFinished(timeoutMs);
}

void MyTableController::Help_btn()
{
    Help_Support help(m_services.resourceFolder, *m_services.documents, *m_services.alerts, this);
    m_services.modalRunner->runModal(help);
}

void MyTableController::About_btn()
{
    raise();
    AboutWindow about(this);
    m_services.modalRunner->runModal(about);
}

bool MyTableController::Exit_App()
{
    if (!m_services.alerts->question(this, texts::kExitQuestion))
        return false;
    // A search still running must not put windows up or touch what is being torn down.
    m_quitting = true;
    m_state.stop_now = 1;
    m_threads->stopTicker();
    const bool stopped = m_threads->waitUntilFinished(3000);
    removePreviewFiles(); // the current preview file lives there too
    m_services.terminate(!stopped);
    return true;
}

void MyTableController::removePreviewFiles()
{
    if (!m_services.previewFolder.isEmpty() && QFileInfo(m_services.previewFolder).isDir())
        PreviewFolder(QFile::encodeName(m_services.previewFolder).toStdString()).removePreviewFiles();
}

void MyTableController::closeEvent(QCloseEvent* event)
{
    if (Exit_App())
        event->accept();
    else
        event->ignore();
}

} // namespace salvyn
