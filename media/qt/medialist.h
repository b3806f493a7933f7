#pragma once
// The media list: the records of the volumes the user may search, the table that shows
// them, and their refresh. Volumes come from the volume lister and are described by the
// disk information provider; disk images the user adds stay in the list across refreshes
// for the rest of the run. UI thread only; a refresh asks the lister and the provider on a
// worker thread (they run lsblk and udevadm, which may take seconds) behind the loading sheet.
#include "media/mydataobject.h"
#include "media/qt/diskinfoprovider.h"
#include "media/qt/mediatablemodel.h"
#include "media/qt/volumelister.h"

#include <QObject>
#include <QThread>
#include <QPointer>
#include <QTableView>
#include <QWidget>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace salvyn {

class LoadDrive_Modeless;

class MediaList : public QObject {
    Q_OBJECT
public:
    MediaList(std::unique_ptr<VolumeLister> volumeLister, std::unique_ptr<DiskInfoProvider> diskInfoProvider,
              QObject* parent = nullptr);
    ~MediaList() override;

    MediaTableModel* model() { return &m_model; }
    const std::vector<MyDataObject>& nsMutaryOfDataObject() const { return m_model.records(); }

    // The media table: gets the model, selects whole rows, one at a time, and is not sorted.
    void setIdTableView(QTableView* tableView);
    QTableView* idTableView() const { return m_tableView; }
    // The window the loading sheet covers during a refresh.
    void setControlPanel(QWidget* controlPanel);

    // -1 when no row is selected. The record stays valid until the list next changes.
    int selectedRow() const;
    const MyDataObject* selectedRecord() const { return m_model.recordAt(selectedRow()); }

    // The whole refresh behind the loading sheet: the volumes are gathered on a worker and
    // the list is replaced when they are, then reloaded() follows. The selected row index is
    // kept when the new list is long enough. A refresh asked for meanwhile follows it.
    void Reload_Drive_list_Function();
    bool isReloading() const { return m_worker != nullptr; }
    void addRow(MyDataObject record);
    void deleteSelectedRow();
    // Why a disk image was not added: the headline of its alert and the reason under it.
    struct Refusal {
        QString headline;
        QString reason;
    };
    // Adds a disk image file or block device by path; answers why it was refused, or
    // nothing when its record was added.
    std::optional<Refusal> addDiskImage(const QString& path);

public slots:
    void rebresh_drives();

signals:
    void reloadStarted();
    void reloaded();

private:
    // Worker thread: the records of the volumes that may be searched, in the lister's order.
    std::vector<MyDataObject> getVolumeToFSGetInfo() const;
    void volumesGathered();
    void showLoadingSheet();
    void hideLoadingSheet();
    void selectRow(int row);
    void appendDiskImagesAgain();

    MediaTableModel m_model;
    std::unique_ptr<VolumeLister> m_volumeLister;
    std::unique_ptr<DiskInfoProvider> m_diskInfoProvider;
    QPointer<QTableView> m_tableView;
    QPointer<QWidget> m_controlPanel;
    QPointer<LoadDrive_Modeless> m_loadDiskWindow;
    std::vector<std::string> m_diskImagePaths;
    QThread* m_worker = nullptr;
    std::vector<MyDataObject> m_gathered; // the worker's, read once it has ended
    int m_keptRow = -1;
    bool m_reloadAgain = false;
};

} // namespace salvyn
