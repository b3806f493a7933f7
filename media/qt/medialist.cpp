#include "media/qt/medialist.h"

#include "media/diskimage.h"
#include "media/diskinfo.h"
#include "media/qt/loaddrive_modeless.h"

#include <QAbstractItemView>
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
    if (m_worker) { // it asks the lister and the provider, which go with this list
        m_worker->wait();
        delete m_worker;
    }
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

std::vector<MyDataObject> MediaList::getVolumeToFSGetInfo() const
{
    std::vector<MyDataObject> records;
    for (const QString& mountPath : m_volumeLister->mountedRemovableVolumes()) {
        if (std::optional<MyDataObject> record = find_disk_info(m_diskInfoProvider->diskInfo(mountPath)))
            records.push_back(std::move(*record));
    }
    return records;
}

void MediaList::Reload_Drive_list_Function()
{
    if (m_worker) {
        m_reloadAgain = true;
        return;
    }
    showLoadingSheet();
    emit reloadStarted();
    m_keptRow = selectedRow();
    m_worker = QThread::create([this] { m_gathered = getVolumeToFSGetInfo(); });
    connect(m_worker, &QThread::finished, this, &MediaList::volumesGathered, Qt::QueuedConnection);
    m_worker->start();
}

void MediaList::volumesGathered()
{
    m_worker->wait(); // its records are complete and visible once the thread is gone
    delete m_worker;
    m_worker = nullptr;
    m_model.clear();
    for (MyDataObject& record : std::exchange(m_gathered, {}))
        m_model.append(std::move(record));
    appendDiskImagesAgain(); // images added meanwhile included
    // A model reset drops the selection; rows and records correspond by position only.
    if (m_keptRow >= 0 && m_keptRow < m_model.rowCount())
        selectRow(m_keptRow);
    if (std::exchange(m_reloadAgain, false))
        return Reload_Drive_list_Function();
    hideLoadingSheet();
    emit reloaded();
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
    m_loadDiskWindow->show(); // window-modal: the wizard takes no click until the list is back
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
