#include "results/ui/foundfilelist.h"

#include "platform/qt/iconprovider.h"
#include "platform/sectorstream.h"
#include "results/ui/photothumbnail.h"
#include "results/ui/resultstablemodel.h"
#include "results/ui/sizetext.h"
#include "scan/naming.h"

#include <QElapsedTimer>
#include <QImage>
#include <QThread>

#include <algorithm>
#include <limits>
#include <optional>

namespace salvyn {
namespace {

// Short enough to feel live, long enough to gather a fast search's finds into one update.
constexpr int kDrainIntervalMs = 40;
// A drain shows finds for at most this long and then lets the window handle its events
// before going on, so a flood of finds never makes the window stutter.
constexpr qint64 kDrainBudgetMs = 8;
constexpr std::size_t kDrainChunk = 256;
// Decoded thumbnails kept for drawing, in KiB (about 400 thumbnails of 256 x 192).
constexpr int kPhotoPixmapCacheKiB = 80 * 1024;
// Types' icons as large as a thumbnail, so every browser size draws them sharp.
constexpr int kIconSide = PhotoThumbnail::maxPixelSize;
// Photo bytes waiting for their thumbnails: a few ordinary photos per thread at once.
constexpr std::uint64_t kMostPhotoBytesInFlight = 64ull << 20;

int thumbnailThreads()
{
    return std::max(1, QThread::idealThreadCount());
}

int cacheCostKiB(const QPixmap& pixmap)
{
    const qint64 bytes = qint64(pixmap.width()) * pixmap.height() * std::max(1, pixmap.depth() / 8);
    return static_cast<int>(std::max<qint64>(1, bytes / 1024));
}

// "1.2 MB", "2024-06-01", "Canon EOS 80D": what is known, one line each (the time of day
// is in the tool tip).
QString detailsCaption(const FoundFileDetails& details)
{
    QString caption = sizeText(details.length.bytes);
    if (details.capture.taken)
        caption += QLatin1Char('\n') + QString::fromStdString(captureTimeText(*details.capture.taken)).left(10);
    if (!details.capture.camera.empty())
        caption += QLatin1Char('\n') + QString::fromStdString(details.capture.camera);
    return caption;
}

} // namespace

struct FoundFileList::PendingFind {
    Kind kind = Kind::Photo;
    bool ready = false;
    QString name;
    QString uid;
    std::uint64_t firstSector = 0;
    std::uint64_t endSector = 0;
    QByteArray thumbnailJpeg; // photo: empty when no thumbnail came out
    QImage thumbnailImage;
};

FoundFileList::FoundFileList(const IconProvider& icons, ResultsTableModel& resultsTable,
                             std::function<int()> recoveryMode, QObject* parent)
    : QAbstractListModel(parent), m_icons(icons), m_resultsTable(resultsTable),
      m_recoveryMode(std::move(recoveryMode)), m_photoPixmaps(kPhotoPixmapCacheKiB),
      m_photoBytesInFlight(kMostPhotoBytesInFlight, 2 * thumbnailThreads())
{
    m_thumbnailPool.setMaxThreadCount(thumbnailThreads());
    // Decoding yields to the window and the search when the processor is busy.
    m_thumbnailPool.setThreadPriority(QThread::LowPriority);
    m_drainTimer.setSingleShot(true);
    connect(&m_drainTimer, &QTimer::timeout, this, [this] { drain(kDrainBudgetMs); });
}

FoundFileList::~FoundFileList()
{
    m_thumbnailPool.waitForDone();
}

void FoundFileList::setNull_Image_Data(const QByteArray& bytes)
{
    m_nullImageData = bytes;
}

void FoundFileList::addImageWithData(QByteArray bytes, const QString& imageName, const QString& image_UID,
                                     std::uint64_t File_Start_Sec)
{
    if (bytes.isEmpty())
        return;
    auto find = std::make_shared<PendingFind>();
    find->kind = Kind::Photo;
    find->name = imageName;
    find->uid = image_UID;
    find->firstSector = File_Start_Sec;
    find->endSector = File_Start_Sec + static_cast<std::uint64_t>(bytes.size()) / kSectorSize;
    m_photoBytesInFlight.acquire(static_cast<std::uint64_t>(bytes.size()));
    {
        std::lock_guard lock(m_mutex);
        m_pending.push_back(find);
    }
    // The caller reuses its buffer at once: a shared or borrowed array is copied here, on
    // the caller's thread, before the pool reads it.
    bytes.detach();
    m_thumbnailPool.start([this, find, photoBytes = std::move(bytes)] { makeThumbnail(find, photoBytes); });
}

void FoundFileList::makeThumbnail(const std::shared_ptr<PendingFind>& find, const QByteArray& photoBytes)
{
    PhotoThumbnail thumbnail = PhotoThumbnail::fromPhotoBytes(photoBytes);
    {
        std::lock_guard lock(m_mutex);
        find->thumbnailJpeg = std::move(thumbnail.jpegBytes);
        find->thumbnailImage = std::move(thumbnail.image);
        find->ready = true;
    }
    m_photoBytesInFlight.release(static_cast<std::uint64_t>(photoBytes.size()));
    scheduleDrain();
}

void FoundFileList::addImageWithData_2(const QString& imageName, const QString& image_UID,
                                       std::uint64_t File_Start_Sec, std::uint64_t File_End_Sec)
{
    const QString name = imageName.trimmed();
    if (name.isEmpty())
        return;
    auto find = std::make_shared<PendingFind>();
    find->kind = Kind::RawFile;
    find->ready = true;
    find->name = name;
    find->uid = image_UID;
    find->firstSector = File_Start_Sec;
    find->endSector = File_End_Sec;
    enqueue(std::move(find));
    m_resultsTable.countFoundFile(name);
}

void FoundFileList::enqueue(std::shared_ptr<PendingFind> find)
{
    {
        std::lock_guard lock(m_mutex);
        m_pending.push_back(std::move(find));
    }
    scheduleDrain();
}

void FoundFileList::scheduleDrain()
{
    if (!m_drainScheduled.exchange(true))
        QMetaObject::invokeMethod(this, [this] { m_drainTimer.start(kDrainIntervalMs); }, Qt::QueuedConnection);
}

void FoundFileList::removeAllImages()
{
    {
        std::lock_guard lock(m_mutex);
        m_pending.clear(); // thumbnails still being made finish into finds nobody holds
    }
    beginResetModel();
    m_images.clear();
    m_photoPixmaps.clear();
    m_measuredBytes = 0;
    m_measuredCount = 0;
    endResetModel();
    emit totalsChanged();
}

void FoundFileList::setDetails(int firstRow, const std::vector<FoundFileDetails>& details)
{
    const int count = std::min(static_cast<int>(details.size()), rowCount() - firstRow);
    if (firstRow < 0 || count <= 0)
        return;
    for (int k = 0; k < count; ++k) {
        std::optional<FoundFileDetails>& shown = m_images[static_cast<std::size_t>(firstRow + k)].details;
        if (shown)
            m_measuredBytes -= shown->length.bytes;
        else
            ++m_measuredCount;
        shown = details[static_cast<std::size_t>(k)];
        if (m_images[static_cast<std::size_t>(firstRow + k)].undecodable)
            shown->condition = FileCondition::Damaged;
        m_measuredBytes += shown->length.bytes;
    }
    emit dataChanged(index(firstRow), index(firstRow + count - 1),
                     {DetailsRole, Qt::ToolTipRole, ConditionRole});
    emit totalsChanged();
}

void FoundFileList::setPictures(std::vector<GrabbedPicture> pictures)
{
    int first = rowCount();
    int last = -1;
    for (GrabbedPicture& grabbed : pictures) {
        if (grabbed.row < 0 || grabbed.row >= rowCount())
            continue;
        MyImageObject& record = m_images[static_cast<std::size_t>(grabbed.row)];
        if (!grabbed.picture.isNull())
            record.image = QPixmap::fromImage(std::move(grabbed.picture)); // taken over, not copied
        if (!grabbed.decodes) {
            record.undecodable = true;
            if (record.details)
                record.details->condition = FileCondition::Damaged;
        }
        first = std::min(first, grabbed.row);
        last = std::max(last, grabbed.row);
    }
    if (last >= first)
        emit dataChanged(index(first), index(last), {Qt::DecorationRole, ConditionRole});
}

void FoundFileList::flushPending()
{
    m_photoBytesInFlight.waitUntilIdle();
    drain(std::numeric_limits<qint64>::max());
}

void FoundFileList::drain(qint64 budgetMs)
{
    m_drainScheduled.store(false);
    QElapsedTimer spent;
    spent.start();
    bool moreReady = false;
    do {
        std::vector<std::shared_ptr<PendingFind>> finds;
        {
            std::lock_guard lock(m_mutex);
            while (!m_pending.empty() && m_pending.front()->ready && finds.size() < kDrainChunk) {
                finds.push_back(std::move(m_pending.front()));
                m_pending.pop_front();
            }
            moreReady = !m_pending.empty() && m_pending.front()->ready;
        }
        append(finds);
    } while (moreReady && !spent.hasExpired(budgetMs));
    // Finds left over are taken as soon as the window has had its turn.
    if (moreReady && !m_drainScheduled.exchange(true))
        m_drainTimer.start(0);
}

void FoundFileList::append(std::vector<std::shared_ptr<PendingFind>>& finds)
{
    if (finds.empty())
        return;
    const int first = rowCount();
    std::optional<int> photoDue;
    std::optional<int> rawFileDue;
    beginInsertRows({}, first, first + static_cast<int>(finds.size()) - 1);
    for (const std::shared_ptr<PendingFind>& find : finds) {
        const int row = static_cast<int>(m_images.size());
        m_images.push_back(recordFor(*find));
        ++m_addedItemCount;
        if (find->kind == Kind::Photo && m_addedItemCount % photoScrollCadence == 0)
            photoDue = row;
        if (find->kind == Kind::RawFile && m_addedItemCount % rawFileScrollCadence == 0)
            rawFileDue = row;
    }
    endInsertRows();
    emit totalsChanged();
    if (photoDue)
        emit scrollToEndDue(Kind::Photo, *photoDue);
    if (rawFileDue)
        emit scrollToEndDue(Kind::RawFile, *rawFileDue);
}

MyImageObject FoundFileList::recordFor(PendingFind& find)
{
    if (find.kind == Kind::RawFile) {
        return MyImageObject::initWithImage(iconFor(find.name), find.name, find.uid, find.firstSector,
                                            find.endSector);
    }
    if (find.thumbnailJpeg.isEmpty())
        return MyImageObject::initWithImage_data(m_nullImageData, find.name, find.uid, find.firstSector,
                                                 find.endSector);
    auto* pixmap = new QPixmap(QPixmap::fromImage(find.thumbnailImage));
    m_photoPixmaps.insert(static_cast<int>(m_images.size()), pixmap, cacheCostKiB(*pixmap));
    return MyImageObject::initWithImage_data(find.thumbnailJpeg, find.name, find.uid, find.firstSector,
                                             find.endSector);
}

QPixmap FoundFileList::iconFor(const QString& name)
{
    const QString extension = QString::fromStdString(pathExtension(name.toStdString()));
    auto cached = m_iconsByExtension.constFind(extension);
    if (cached != m_iconsByExtension.constEnd())
        return *cached;
    const QPixmap icon = m_icons.iconForFileType(extension).pixmap(kIconSide, kIconSide);
    m_iconsByExtension.insert(extension, icon);
    return icon;
}

int FoundFileList::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_images.size());
}

QVariant FoundFileList::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= rowCount())
        return {};
    const MyImageObject& record = imageAt(index.row());
    if (role == Qt::DisplayRole)
        return record.imageTitle();
    if (role == DetailsRole)
        return record.details ? detailsCaption(*record.details) : QString();
    if (role == Qt::ToolTipRole)
        return record.details ? record.imageTitle() + QLatin1Char('\n')
                                    + QString::fromStdString(foundFileToolTip(record.File_Start_Sector,
                                                                              record.File_End_Sector, *record.details))
                              : record.imageTitle();
    if (role == ConditionRole)
        return record.details ? QVariant(static_cast<int>(record.details->condition)) : QVariant();
    if (role != Qt::DecorationRole)
        return {};
    if (m_recoveryMode() != 0)
        return record.image.isNull() ? QVariant() : QVariant(record.image);
    if (record.imageData.isEmpty())
        return {};
    if (const QPixmap* cached = m_photoPixmaps.object(index.row()))
        return *cached;
    // Scrolled back past the cache: the small JPEG decodes in well under a millisecond.
    auto* pixmap = new QPixmap;
    if (!pixmap->loadFromData(record.imageData)) {
        delete pixmap;
        return {};
    }
    const QPixmap shown = *pixmap;
    m_photoPixmaps.insert(index.row(), pixmap, cacheCostKiB(shown));
    return shown;
}

Qt::ItemFlags FoundFileList::flags(const QModelIndex& index) const
{
    // Selectable, never dragged out and never moved by hand.
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}

} // namespace salvyn
