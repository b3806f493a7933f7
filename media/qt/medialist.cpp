#include "media/qt/medialist.h"

#include "media/diskimage.h"
#include "media/diskinfo.h"
#include "media/qt/loaddrive_modeless.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QFile>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <QWidget>

#include <algorithm>

namespace salvyn {

MediaList::MediaList(std::unique_ptr<VolumeLister> volumeLister,
                     std::unique_ptr<DiskInfoProvider> diskInfoProvider, QObject* parent)
    : QObject(parent)
    , m_volumeLister(std::move(volumeLister))
    , m_diskInfoProvider(std::move(diskInfoProvider))
{
}

MediaList::~MediaList()
{
    delete m_loadDiskWindow;
}

void MediaList::setIdTableView(QTableView* tableView)
{
    m_tableView = tableView;
    if (tableView == nullptr)
        return;
    tableView->setModel(&m_model);
    // The device path is what tells media apart: it takes the spare room.
    tableView->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableView->setSelectionMode(QAbstractItemView::SingleSelection);
    tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableView->setSortingEnabled(false);
}

void MediaList::setControlPanel(QWidget* controlPanel)
{
    m_controlPanel = controlPanel;
    // Made again over the new window at the next refresh.
    delete m_loadDiskWindow;
}

int MediaList::selectedRow() const
{
    if (!m_tableView || m_tableView->selectionModel() == nullptr)
        return -1;
    const QModelIndexList rows = m_tableView->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return -1;
    const auto lowest = std::min_element(rows.begin(), rows.end(),
                                         [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    return lowest->row();
}

void MediaList::getVolumeToFSGetInfo()
{
    const QStringList mountPaths = m_volumeLister->mountedRemovableVolumes();
    for (const QString& mountPath : mountPaths)
        find_disk_info(mountPath);
}

void MediaList::find_disk_info(const QString& designator)
{
    if (std::optional<MyDataObject> record = salvyn::find_disk_info(m_diskInfoProvider->diskInfo(designator)))
        m_model.append(std::move(*record));
}

void MediaList::Reload_Drive_list_Function()
{
    showLoadingSheet();
    const int keptRow = selectedRow();
    m_model.clear();
    getVolumeToFSGetInfo();
    appendDiskImagesAgain();
    // A model reset drops the selection; rows and records correspond by position only.
    if (keptRow >= 0 && keptRow < m_model.rowCount())
        selectRow(keptRow);
    hideLoadingSheet();
}

void MediaList::rebresh_drives()
{
    Reload_Drive_list_Function();
}

void MediaList::addRow(MyDataObject record)
{
    m_model.append(std::move(record));
}

void MediaList::deleteSelectedRow()
{
    const MyDataObject* record = selectedRecord();
    if (record == nullptr)
        return;
    std::erase(m_diskImagePaths, record->nsStrDiskIdentifier());
    m_model.removeAt(selectedRow());
}

std::optional<MediaList::Refusal> MediaList::addDiskImage(const QString& path)
{
    DiskImageResult image = recordForDiskImage(QFile::encodeName(path).toStdString());
    if (!image.record)
        return Refusal{QStringLiteral("\nThis disk image cannot be searched."), QString::fromStdString(image.error)};
    const std::string& identifier = image.record->nsStrDiskIdentifier();
    if (std::find(m_diskImagePaths.begin(), m_diskImagePaths.end(), identifier) != m_diskImagePaths.end())
        return Refusal{QStringLiteral("\nThis disk image is already in the list."),
                       QStringLiteral("\"%1\" is already in the list.").arg(QString::fromStdString(identifier))};
    m_diskImagePaths.push_back(identifier);
    addRow(std::move(*image.record));
    return std::nullopt;
}

void MediaList::appendDiskImagesAgain()
{
    // An image deleted or made unreadable since it was added leaves the list quietly.
    std::vector<std::string> stillReadable;
    for (const std::string& path : m_diskImagePaths) {
        DiskImageResult image = recordForDiskImage(path);
        if (!image.record)
            continue;
        stillReadable.push_back(path);
        m_model.append(std::move(*image.record));
    }
    m_diskImagePaths = std::move(stillReadable);
}

void MediaList::selectRow(int row)
{
    if (!m_tableView || m_tableView->selectionModel() == nullptr)
        return;
    m_tableView->selectionModel()->setCurrentIndex(
        m_model.index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void MediaList::showLoadingSheet()
{
    if (!m_loadDiskWindow)
        m_loadDiskWindow = new LoadDrive_Modeless(m_controlPanel);
    m_loadDiskWindow->show();
    // One pass of the event loop draws the sheet before the work blocks the window; user
    // input waits, so no click starts a second refresh inside this one.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void MediaList::hideLoadingSheet()
{
    if (m_loadDiskWindow)
        m_loadDiskWindow->hide();
    if (m_controlPanel) {
        m_controlPanel->activateWindow();
        m_controlPanel->raise();
    }
}

} // namespace salvyn
