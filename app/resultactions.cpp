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
#include "results/ui/savefoundfiles.h"

#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

#include <algorithm>
#include <numeric>

namespace salvyn {

QString MyTableController::destinationPath() const
{
    return criteriaOfMode()->pathField()->text();
}

void MyTableController::Save_Found_Files()
{
    if (m_saver->isSaving() || searchRunning())
        return;
    const QString folder = destinationPath();
    if (!folder.isEmpty()) {
        saveFoundFilesInto(folder);
        return;
    }
    QPointer<MyTableController> self = this;
    m_destination->chooseThen([self](const QString& chosen) {
        if (self && !self->m_saver->isSaving() && !self->searchRunning())
            self->saveFoundFilesInto(chosen);
    });
}

void MyTableController::saveFoundFilesInto(const QString& folder)
{
    std::vector<FileToSave> found;
    found.reserve(static_cast<std::size_t>(m_images->rowCount()));
    for (int row = 0; row < m_images->rowCount(); ++row) {
        const MyImageObject& record = m_images->imageAt(row);
        found.push_back({record.image_Name.toStdString(), record.File_Start_Sector, record.File_End_Sector});
    }
    const ImageBrowserView* browser = Recovery_MODE == 0 ? m_search.imageBrowser : m_search.imageBrowser_2;
    std::vector<std::size_t> chosen;
    for (const QModelIndex& index : browser->selectionModel()->selectedIndexes())
        chosen.push_back(static_cast<std::size_t>(index.row()));
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    if (chosen.empty()) {
        chosen.resize(found.size());
        std::iota(chosen.begin(), chosen.end(), std::size_t{0});
    }
    m_saver->start(found, std::move(chosen), folder, m_diskIdentifier->text().toStdString());
}

void MyTableController::Open_Folder()
{
    const QString folder = destinationPath();
    if (folder.isEmpty())
        m_services.alerts->message(this, texts::kNoDestinationFolder, texts::kNoDestinationFolderHelp);
    else if (!QFileInfo(folder).isDir())
        m_services.alerts->message(this, SaveFoundFiles::destinationFolderMissing(), folder);
    else
        m_services.documents->openFile(folder);
}

} // namespace salvyn
