// MyTableController: what the result screens do with the found files once a search has
// ended: save them into the destination folder, and open that folder.
#include "app/criteriascreen.h"
#include "app/mytablecontroller.h"
#include "app/wizardtexts.h"
#include "platform/qt/alertservice.h"
#include "platform/qt/documentopener.h"
#include "results/ui/destinationfolder.h"
#include "results/ui/foundfilelist.h"
#include "results/ui/imagebrowserview.h"
#include "results/ui/previewpresenter.h"
#include "results/ui/savefoundfiles.h"

#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

namespace salvyn {

void MyTableController::Save_Found_Files()
{
    if (m_saver->isSaving() || searchRunning())
        return;
    if (const QString folder = m_window.criteriaOf(mode())->pathField()->text(); !folder.isEmpty())
        return saveFoundFilesInto(folder);
    m_destination->chooseThen([self = QPointer<MyTableController>(this)](const QString& chosen) {
        if (self && !self->m_saver->isSaving() && !self->searchRunning())
            self->saveFoundFilesInto(chosen);
    });
}

void MyTableController::saveFoundFilesInto(const QString& folder)
{
    std::vector<FileToSave> found;
    for (int row = 0; row < m_images->rowCount(); ++row) {
        const MyImageObject& record = m_images->imageAt(row);
        found.push_back({record.image_Name.toStdString(), record.File_Start_Sector, record.File_End_Sector});
    }
    const SearchScreen& search = m_window.search;
    std::vector<std::size_t> selected;
    for (const QModelIndex& index :
         (mode() == RecoveryMode::Photo ? search.imageBrowser : search.imageBrowser_2)->selectionModel()->selectedIndexes())
        selected.push_back(static_cast<std::size_t>(index.row()));
    m_saver->start(found, saveSelection(std::move(selected), found.size()), folder, m_wizard.diskIdentifier());
}

void MyTableController::Open_Folder()
{
    const QString folder = m_window.criteriaOf(mode())->pathField()->text();
    if (folder.isEmpty())
        m_services.alerts->message(this, texts::kNoDestinationFolder, texts::kNoDestinationFolderHelp);
    else if (!QFileInfo(folder).isDir())
        m_services.alerts->message(this, SaveFoundFiles::destinationFolderMissing(), folder);
    else
        m_services.documents->openFile(folder);
}

QString MyTableController::preview_file_path() const
{
    return m_presenter->preview_file_path();
}

} // namespace salvyn
