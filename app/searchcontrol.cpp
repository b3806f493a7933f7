// MyTableController: starting a search, what the passes show on the way, the end-of-search
// screen, and leaving the application.
#include "app/criteriascreen.h"
#include "app/infowindows.h"
#include "app/modalwindowrunner.h"
#include "app/mytablecontroller.h"
#include "app/screenvisibility.h"
#include "app/wizardtexts.h"
#include "platform/qt/alertservice.h"
#include "results/previewfolder.h"
#include "results/ui/foundfilelist.h"
#include "results/ui/imagebrowserview.h"
#include "results/ui/resultstablemodel.h"
#include "scan/progress.h"
#include "scan/qt/foundfilelistsink.h"
#include "scan/qt/runonui.h"
#include "scan/qt/searchthreads.h"
#include "scan/qt/uithreadscanhost.h"
#include "scan/scancontext.h"
#include "scan/searchrun.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>

namespace salvyn {
namespace {

constexpr int kExitWaitMs = 3000;

} // namespace

SearchRequest MyTableController::snapshotRequest() const
{
    SearchRequest request;
    const CriteriaScreen* criteria = criteriaOfMode();
    request.sourceIdentifier = m_diskIdentifier->text().toStdString();
    request.recoveryMode = Recovery_MODE;
    request.entireDiskChosen = criteria->entireDiskChosen();
    request.sectorRangeChosen = criteria->sectorRangeChosen();
    request.startSectorText = criteria->startText().toStdString();
    request.endSectorText = criteria->endText().toStdString();
    request.sectorCountText = m_sectorsVal->text().toStdString();
    if (Recovery_MODE == 0) {
        request.thorough = m_criteria->thoroughBox()->isChecked();
        request.generalList = m_lists.Ext_Array;
        request.thoroughList = m_lists.Adv_Ext_Array;
    } else {
        request.thorough = m_checkListScreen._Thro_Mode_Chk_SIG->isChecked();
        request.generalList = m_checkListHeader;
        request.thoroughList = m_checkListHeaderAdv;
    }
    return request;
}

void MyTableController::startSearch()
{
    m_threads->waitUntilFinished(-1); // never two searches at once
    m_request = snapshotRequest();
    m_context = std::make_unique<ScanContext>(ScanContext{m_request, m_state, *m_workerHost, *m_workerSink,
                                                          *m_services.opener, &m_resultsTable->rows()});
    ScanContext* context = m_context.get();
    m_threads->start([context] { runSearch(*context); }, [this] { tickProgress(); },
                     [this] {
                         if (const auto display = progressTick(m_state))
                             showProgress(*display);
                     });
}

void MyTableController::tickProgress()
{
    if (const auto display = progressTick(m_state))
        runOnUi(this, [this, shown = *display] { showProgress(shown); });
}

void MyTableController::showProgress(const ProgressDisplay& display)
{
    m_search._sector_label->setText(QString::fromStdString(display.sectorLabel));
    m_search._Progress_Horz->setMaximum(display.bar.maximum);
    m_search._Progress_Horz->setValue(display.bar.value);
}

void MyTableController::passStarted(const std::string& passName, const std::string& caption)
{
    m_search._Mode_label->setText(QString::fromStdString(caption));
    if (passName != "GEN")
        return; // the thorough pass adds to what the general pass found
    if (Recovery_MODE == 0) {
        m_images->removeAllImages();
        m_search._zoom_slider->setValue(qRound(ImageBrowserView::zoomSliderDefault * 100));
        m_search.imageBrowser->setZoomValue(ImageBrowserView::photoBrowserZoom);
    } else {
        m_search.imageBrowser_2->resetPrev_Index();
        m_images->removeAllImages();
    }
}

void MyTableController::progressSetUp(std::uint64_t startSector, std::uint64_t endSector)
{
    const std::uint64_t total = endSector - startSector;
    showProgress({sectorLabelText(startSector, endSector, completedPercent(startSector, startSector, total)),
                  progressBarValues(startSector, startSector, total)});
}

void MyTableController::deviceOpened()
{
    // The photo set's controls, in every mode: nothing else may change while it runs.
    m_criteria->thoroughBox()->setEnabled(false);
    m_criteria->browseButton()->setEnabled(false);
    if (Recovery_MODE != 0)
        m_search._QuickLook_View_Box->setTitle(texts::kNoPreviewTitle);
    m_search._Progress_Horz->setValue(0);
    setHelp(texts::kHelpSearchRunning);
}

void MyTableController::deviceOpenFailed(const SectorSourceError&)
{
    m_screenCounter -= 1;
    m_threads->stopTicker();
    if (Recovery_MODE == 0) {
        show_hide_2_screen(false);
        show_hide_3_screen_Photo(true);
    } else {
        show_hide_3_screen_RawFile(false);
        show_hide_4_screen_RawFile(true);
    }
    m_search._open_folder->setHidden(true);
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
    setHiddenAll(m_search.progressControls(), true);
    m_images->flushPending();
    QDialog& info = Recovery_MODE == 0 ? static_cast<QDialog&>(*m_saveFileInfo)
                                       : static_cast<QDialog&>(*m_saveFileInfoForRaw);
    m_services.modalRunner->runModal(info); // any way of closing it goes on like OK
    m_state.stop_now = 0;
    const bool photo = Recovery_MODE == 0;
    m_search.zoomCaption->setHidden(!photo);
    m_search._zoom_slider->setHidden(!photo);
    m_search._open_folder->setHidden(!photo);
    m_search._save_found_files->setHidden(!photo);
    m_search._save_found_files_Sig->setHidden(photo);
    if (!photo)
        m_search._open_folder_Sig->setHidden(false);
    m_back->setEnabled(true);
    m_criteria->browseButton()->setEnabled(true);
    m_criteria->thoroughBox()->setEnabled(true);
}

void MyTableController::resetBrowsers()
{
    m_images->removeAllImages();
    m_search._zoom_slider->setValue(qRound(ImageBrowserView::zoomSliderDefault * 100));
    m_search.imageBrowser->setZoomValue(ImageBrowserView::photoBrowserZoom);
    m_search.imageBrowser_2->setZoomValue(ImageBrowserView::rawFileBrowserZoom);
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

void MyTableController::Exit_Btn()
{
    Exit_App();
}

bool MyTableController::Exit_App()
{
    if (!m_services.alerts->question(this, texts::kExitQuestion))
        return false;
    // A search still running must not put windows up or touch what is being torn down.
    m_quitting = true;
    m_state.stop_now = 1;
    m_threads->stopTicker();
    const bool stopped = m_threads->waitUntilFinished(kExitWaitMs);
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
