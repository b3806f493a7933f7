#pragma once
// The found-file list (`images`) as a list model that both thumbnail browsers show. Row
// order is the order in which files were added.
//
// Threads: the two add operations may be called from any thread, typically the search
// worker, and return as soon as the find is queued: photo thumbnails are made on this
// list's own thread pool, and the UI thread takes the finished finds in batches on a short
// timer, in the order they were added, so tens of thousands of finds do not flood the
// window with one update each. The photo bytes waiting for thumbnails are bounded
// (InFlightBudget); an add beyond that waits, which bounds the memory a fast search can tie up. The count of a
// video, raw or audio file lands in the results table before addImageWithData_2() returns,
// so the next file's name already sees it. Everything else is for the UI thread only.
#include "results/inflightbudget.h"
#include "results/ui/grabbedpicture.h"
#include "results/ui/myimageobject.h"

#include <QAbstractListModel>
#include <QByteArray>
#include <QCache>
#include <QHash>
#include <QPixmap>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace salvyn {

class IconProvider;
class ResultsTableModel;

class FoundFileList : public QAbstractListModel {
    Q_OBJECT
public:
    enum class Kind { Photo, RawFile };
    // Once measured: the file's condition (a FileCondition as int), and what is shown under
    // its name (size, date, camera).
    static constexpr int ConditionRole = Qt::UserRole + 1;
    static constexpr int DetailsRole = Qt::UserRole + 2;
    // Every 6th photo and every 4th other file added brings the end of its browser into view.
    static constexpr std::uint64_t photoScrollCadence = 6;
    static constexpr std::uint64_t rawFileScrollCadence = 4;

    // `recoveryMode` answers the current `Recovery_MODE` (0 Photo, 1 Video, 2 Raw file,
    // 3 Audio); it is asked each time a browser wants a picture. The icon provider and the
    // results table must outlive the list, and no thread may still be adding when it goes.
    FoundFileList(const IconProvider& icons, ResultsTableModel& resultsTable, std::function<int()> recoveryMode,
                  QObject* parent = nullptr);
    ~FoundFileList() override; // waits for thumbnails still being made

    // UI thread: the fallback picture (`Null_Image_Data`, the bytes of "NoPreview.png";
    // empty when that file is missing) for photos that give no thumbnail.
    void setNull_Image_Data(const QByteArray& bytes);

    // Any thread: a found photo, collected from `File_Start_Sec` on. Empty bytes add nothing.
    // The list keeps its own copy of the bytes until the thumbnail is made (none is made when
    // the caller hands over an array nobody else shares).
    void addImageWithData(QByteArray bytes, const QString& imageName, const QString& image_UID,
                          std::uint64_t File_Start_Sec = 0);
    // Any thread: a found video, raw or audio file. The name is trimmed of white space and
    // line ends; an empty result adds nothing and counts nothing.
    void addImageWithData_2(const QString& imageName, const QString& image_UID, std::uint64_t File_Start_Sec,
                            std::uint64_t File_End_Sec);

    // UI thread: empties the list, including finds not shown yet.
    void removeAllImages();
    // UI thread: waits for the thumbnails being made and shows every find added so far
    // (the end of a search calls it, so the result screen is complete).
    void flushPending();

    // UI thread: the measured details of the rows from `firstRow` on, in order.
    void setDetails(int firstRow, const std::vector<FoundFileDetails>& details);
    // UI thread: the pictures taken of found videos and sounds; one that does not decode
    // marks its file damaged, whatever its measure says.
    void setPictures(std::vector<GrabbedPicture> pictures);
    // UI thread: the bytes Save would write of every row measured so far.
    std::uint64_t measuredBytes() const { return m_measuredBytes; }
    int measuredCount() const { return m_measuredCount; }

    // UI thread: finds shown since the last reset; drives the scroll cadence.
    std::uint64_t added_item_count() const { return m_addedItemCount; }
    void resetAdded_item_count() { m_addedItemCount = 0; }

    // UI thread: the record at `row` (0 <= row < rowCount()).
    const MyImageObject& imageAt(int row) const { return m_images[static_cast<std::size_t>(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // The find at `row` was the cadence's turn: its browser should bring it into view.
    void scrollToEndDue(salvyn::FoundFileList::Kind kind, int row);
    // The number of rows or the bytes measured of them changed.
    void totalsChanged();

private:
    struct PendingFind;

    void enqueue(std::shared_ptr<PendingFind> find);
    void makeThumbnail(const std::shared_ptr<PendingFind>& find, const QByteArray& photoBytes);
    void scheduleDrain();
    void drain(qint64 budgetMs);
    void append(std::vector<std::shared_ptr<PendingFind>>& finds);
    MyImageObject recordFor(PendingFind& find);
    QPixmap iconFor(const QString& name);

    const IconProvider& m_icons;
    ResultsTableModel& m_resultsTable;
    std::function<int()> m_recoveryMode;
    QByteArray m_nullImageData;

    std::vector<MyImageObject> m_images;
    std::uint64_t m_addedItemCount = 0;
    std::uint64_t m_measuredBytes = 0;
    int m_measuredCount = 0;
    mutable QCache<int, QPixmap> m_photoPixmaps; // decoded thumbnails by row, bounded
    QHash<QString, QPixmap> m_iconsByExtension;

    // Finds on their way in, in the order they were added; shared with the adders and the pool.
    std::mutex m_mutex;
    std::deque<std::shared_ptr<PendingFind>> m_pending;
    InFlightBudget m_photoBytesInFlight;
    std::atomic<bool> m_drainScheduled{false};
    QTimer m_drainTimer;
    QThreadPool m_thumbnailPool;
};

} // namespace salvyn
