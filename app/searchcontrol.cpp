// MyTableController: what a search shows on the way, its end screen, and what the result
// screens do with the found files: save them into the destination folder, open that folder.
#include "app/criteriascreen.h"
#include "app/modalwindowrunner.h"
#include "app/mytablecontroller.h"
#include "app/previewbox.h"
#include "app/wizardtexts.h"
#include "platform/qt/alertservice.h"
#include "platform/qt/documentopener.h"
#include "results/ui/destinationfolder.h"
#include "results/ui/foundfiledetailsjob.h"
#include "results/ui/foundfilelist.h"
#include "results/ui/savefoundfiles.h"
#include "results/ui/videothumbnails.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

namespace salvyn {

void MyTableController::passStarted(const std::string& passName, const std::string& caption)
{
    const bool general = passName == "GEN"; // the thorough pass adds to what the general pass found
    m_window.showPassStarted(caption, general, mode());
    if (general)
        m_images->removeAllImages();
}

void MyTableController::deviceOpenFailed(const SectorSourceError&)
{
    m_wizard.searchCouldNotStart();
    m_search.stopTicker();
    showLayout();
    if (mode() != RecoveryMode::Photo)
        m_preview->showView(false);
    resetForNextSearch();
    m_search.state().stop_screen_already_show = 1;
    showReadError(0);
}

void MyTableController::showReadError(std::uint64_t)
{
    if (!m_quitting)
        m_services.alerts->message(this, texts::kMediaReadError);
}

void MyTableController::Final_or_Stop_Screen()
{
    m_search.stopTicker(); // every search ends its ticker, also one ended by leaving
    if (m_quitting)
        return;
    SearchState& state = m_search.state();
    state.stop_screen_already_show = 1;
    state.stop_now = 1;
    setHelp(texts::kHelpSearchEnded);
    for (QWidget* control : m_window.search.progressControls())
        control->hide();
    m_images->flushPending();
    m_details->start(foundFiles(), m_wizard.diskIdentifier(), state.end_sector);
    if (mode() == RecoveryMode::Video || mode() == RecoveryMode::Audio)
        m_pictures->start(m_wizard.diskIdentifier(), mode() == RecoveryMode::Video);
    m_services.modalRunner->runModal(mode() == RecoveryMode::Photo ? *m_saveFileInfo : *m_saveFileInfoForRaw);
    state.stop_now = 0; // any way of closing the window goes on like its OK
    m_wizard.searchEnded();
    showLayout();
    m_window.setPhotoCriteriaEnabled(true);
}

void MyTableController::Save_Found_Files()
{
    if (m_saver->isSaving() || searchRunning())
        return;
    if (const QString folder = m_window.criteriaOf(mode())->pathField()->text(); !folder.isEmpty())
        return saveFoundFilesInto(folder);
    chooseFolderThenSave();
}

void MyTableController::chooseFolderThenSave()
{
    m_destination->chooseThen([self = QPointer<MyTableController>(this)](const QString& chosen) {
        if (self && !self->m_saver->isSaving() && !self->searchRunning())
            self->saveFoundFilesInto(chosen);
    });
}

std::vector<FileToSave> MyTableController::foundFiles() const
{
    std::vector<FileToSave> found;
    for (int row = 0; row < m_images->rowCount(); ++row) {
        const MyImageObject& record = m_images->imageAt(row);
        found.push_back({record.image_Name.toStdString(), record.File_Start_Sector, record.File_End_Sector,
                         record.details ? std::optional(record.details->length) : std::nullopt});
    }
    return found;
}

void MyTableController::saveFoundFilesInto(const QString& folder)
{
    const std::vector<FileToSave> found = foundFiles();
    SaveOptions options = m_window.saveOptions();
    options.searchedEnd = m_search.state().end_sector; // as the results measured
    m_saver->start(found, saveSelection(m_window.selectedFoundFiles(mode()), m_window.shownFoundFiles(mode())), folder,
                   m_wizard.diskIdentifier(), options);
}

void MyTableController::Open_Folder()
{
    const QString folder = m_window.criteriaOf(mode())->pathField()->text();
    if (folder.isEmpty())
        m_services.alerts->message(this, texts::kNoDestinationFolder, texts::kNoDestinationFolderHelp);
    else if (!QFileInfo(folder).isDir())
        m_services.alerts->message(this, SaveFoundFiles::destinationFolderMissing(), folder);
    else
        m_services.documents->openFile(folder, [self = QPointer<MyTableController>(this)](const QString& reason) {
            if (self)
                self->m_services.alerts->message(self, QStringLiteral("\nThe destination folder cannot be opened."), reason);
        });
}

} // namespace salvyn
