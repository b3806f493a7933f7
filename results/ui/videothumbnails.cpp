#include "results/ui/videothumbnails.h"

#include "platform/sectorsourceopener.h"
#include "results/coverpicture.h"
#include "results/sectorbytereader.h"
#include "results/ui/foundfiledevice.h"
#include "results/ui/foundfilelist.h"
#include "results/ui/grabbedpicture.h"
#include "results/ui/photothumbnail.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <deque>
#include <future>
#include <vector>

namespace salvyn {
namespace {

// Pictures gathered before they go to the list, so thousands of files make few updates.
constexpr int kBatchIntervalMs = 100;

struct GrabRequest {
    int row = 0;
    QString name;
    std::uint64_t firstSector = 0;
    std::uint64_t bytes = 0;
    bool video = true; // else a sound, which may have no picture and still decode
};

// Scaled as the photo thumbnails are, in the format a pixmap takes over without converting.
QImage thumbnailOf(const QImage& picture)
{
    if (picture.isNull())
        return {};
    const int side = PhotoThumbnail::maxPixelSize;
    const QImage fitted = picture.width() > side || picture.height() > side
                              ? picture.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                              : picture;
    return fitted.convertToFormat(fitted.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                           : QImage::Format_RGB32);
}

} // namespace

// Everything here runs on the worker thread.
class VideoThumbnails::Worker final : public QObject {
public:
    Worker(VideoThumbnails& owner, SectorSourceOpener& opener, DecoderMaker makeDecoder)
        : m_owner(owner), m_opener(opener), m_makeDecoder(std::move(makeDecoder)), m_batchTimer(this)
    {
        m_batchTimer.setSingleShot(true);
        m_batchTimer.setInterval(kBatchIntervalMs);
        QObject::connect(&m_batchTimer, &QTimer::timeout, this, [this] { deliver(); });
    }

    void add(unsigned round, const std::string& medium, std::vector<GrabRequest> requests)
    {
        if (round != m_round)
            return; // given up before it came
        m_medium = medium;
        m_queue.insert(m_queue.end(), std::make_move_iterator(requests.begin()),
                       std::make_move_iterator(requests.end()));
        startGrabs();
    }

    // Gives up every grab of earlier rounds.
    void giveUp(unsigned round)
    {
        m_round = round;
        m_queue.clear();
        m_batch.clear();
        m_batchTimer.stop();
        for (Running& running : m_running) {
            running.decoder->cancel();
            release(running);
        }
        m_running.clear();
    }

    // The last call before the thread ends: the players given up go now, then their devices.
    void stop()
    {
        giveUp(m_round + 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private:
    struct Running {
        std::unique_ptr<FrameDecoder> decoder;
        std::unique_ptr<FoundFileDevice> device;
        GrabRequest request;
    };

    void startGrabs()
    {
        while (static_cast<int>(m_running.size()) < grabsAtOnce && !m_queue.empty()) {
            const GrabRequest request = std::move(m_queue.front());
            m_queue.pop_front();
            SectorSourceOpening medium = m_opener.open(m_medium);
            if (!medium.stream)
                continue; // the medium is gone; the details job reports that
            Running running{m_makeDecoder(),
                            std::make_unique<FoundFileDevice>(std::move(medium.stream), request.firstSector,
                                                              request.bytes),
                            request};
            FrameDecoder* decoder = running.decoder.get();
            QObject::connect(decoder, &FrameDecoder::grabbed, this,
                             [this, decoder](const QImage& picture, bool decodes) {
                                 grabbed(decoder, picture, decodes);
                             });
            m_running.push_back(std::move(running));
            decoder->grab(m_running.back().device.get(), QUrl(request.name));
        }
        if (m_running.empty() && m_queue.empty())
            deliver(); // the last pictures go at once
    }

    void grabbed(FrameDecoder* decoder, const QImage& picture, bool decodes)
    {
        const auto running = std::find_if(m_running.begin(), m_running.end(),
                                          [decoder](const Running& each) { return each.decoder.get() == decoder; });
        if (running == m_running.end())
            return;
        const GrabRequest& request = running->request;
        const QImage shown = picture.isNull() && decodes && !request.video ? coverOf(request) : picture;
        m_batch.push_back({request.row, thumbnailOf(shown), decodes});
        release(*running);
        m_running.erase(running);
        if (!m_batchTimer.isActive())
            m_batchTimer.start();
        // Later, not from inside this decoder's signal: a decoder may answer within grab().
        QMetaObject::invokeMethod(this, [this] { startGrabs(); }, Qt::QueuedConnection);
    }

    // A sound's cover read from its tags, where the player does not give it.
    QImage coverOf(const GrabRequest& request)
    {
        const SectorSourceOpening medium = m_opener.open(m_medium);
        if (!medium.stream)
            return {};
        SectorByteReader bytes(*medium.stream);
        FormatEndReader file(bytes, request.firstSector * kSectorSize, request.bytes);
        const std::vector<std::uint8_t> cover = coverPicture(file);
        return QImage::fromData(cover.data(), static_cast<int>(cover.size()));
    }

    // Inside the decoder's own signal: both go once it has returned, the player before its device.
    static void release(Running& running)
    {
        running.decoder.release()->deleteLater();
        running.device.release()->deleteLater();
    }

    void deliver()
    {
        m_batchTimer.stop();
        if (m_batch.empty())
            return;
        QMetaObject::invokeMethod(
            &m_owner,
            [owner = &m_owner, round = m_round, batch = std::move(m_batch)]() mutable {
                if (round == owner->m_round)
                    owner->m_images.setPictures(std::move(batch));
            },
            Qt::QueuedConnection);
        m_batch.clear();
    }

    VideoThumbnails& m_owner; // only reached through events on its own thread
    SectorSourceOpener& m_opener;
    DecoderMaker m_makeDecoder;
    std::string m_medium;
    unsigned m_round = 0;
    std::deque<GrabRequest> m_queue;
    std::vector<Running> m_running;
    std::vector<GrabbedPicture> m_batch;
    QTimer m_batchTimer; // a child, so it moves to the worker thread with this
};

VideoThumbnails::VideoThumbnails(FoundFileList& images, SectorSourceOpener& opener, DecoderMaker makeDecoder,
                                 QObject* parent)
    : QObject(parent), m_images(images), m_worker(new Worker(*this, opener, std::move(makeDecoder)))
{
    m_thread.setObjectName(QStringLiteral("salvyn-frames"));
    m_worker->moveToThread(&m_thread);
    // A posted call wakes the worker through the event dispatcher it makes as it starts: nothing
    // is posted before that is done (a moment, once).
    std::promise<void> running;
    const QMetaObject::Connection started =
        connect(&m_thread, &QThread::started, [&running] { running.set_value(); });
    m_thread.start(QThread::LowPriority);
    running.get_future().wait();
    disconnect(started);
    // The rows are gone: a new search or Back emptied the list.
    connect(&images, &QAbstractItemModel::modelAboutToBeReset, this, &VideoThumbnails::cancel);
    connect(&images, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& top, const QModelIndex& bottom, const QList<int>& roles) {
                if (roles.contains(FoundFileList::DetailsRole))
                    detailsMeasured(top.row(), bottom.row());
            });
}

VideoThumbnails::~VideoThumbnails()
{
    // Waits at most for one read of the medium that a decoder is in. The worker's thread ends
    // its own loop: waking it from here could write to its wake-up descriptor as it closes it.
    QMetaObject::invokeMethod(m_worker, [this, worker = m_worker] {
        worker->stop();
        m_thread.quit();
    }, Qt::BlockingQueuedConnection);
    m_thread.wait();
    delete m_worker;
}

void VideoThumbnails::start(std::string medium, bool videos)
{
    cancel();
    m_medium = std::move(medium);
    m_videos = videos;
}

void VideoThumbnails::cancel()
{
    m_medium.clear();
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, round = ++m_round] { worker->giveUp(round); },
                              Qt::QueuedConnection);
}

void VideoThumbnails::detailsMeasured(int firstRow, int lastRow)
{
    if (m_medium.empty())
        return;
    std::vector<GrabRequest> requests;
    for (int row = firstRow; row <= lastRow; ++row) {
        const MyImageObject& record = m_images.imageAt(row);
        if (record.details && record.details->length.bytes > 0)
            requests.push_back({row, record.imageTitle(), record.File_Start_Sector, record.details->length.bytes,
                                m_videos});
    }
    QMetaObject::invokeMethod(
        m_worker,
        [worker = m_worker, round = m_round, medium = m_medium, requests = std::move(requests)]() mutable {
            worker->add(round, medium, std::move(requests));
        },
        Qt::QueuedConnection);
}

} // namespace salvyn
