#include "results/ui/firstframegrabber.h"

#include <QMediaMetaData>
#include <QVideoFrame>

#include <atomic>

namespace salvyn {

FirstFrameGrabber::FirstFrameGrabber(QObject* parent) : FrameDecoder(parent)
{
    m_timeout.setSingleShot(true);
    m_timeout.setInterval(timeoutMs);
    // A medium too slow to answer in time is no proof that the file is damaged.
    connect(&m_timeout, &QTimer::timeout, this, [this] { finish({}, true, m_grabNumber); });
}

FirstFrameGrabber::~FirstFrameGrabber()
{
    cancel();
}

QMediaPlayer& FirstFrameGrabber::newPlayer()
{
    m_player = std::make_unique<QMediaPlayer>();
    auto* sink = new QVideoSink(m_player.get());
    m_player->setVideoSink(sink);
    connect(m_player.get(), &QMediaPlayer::mediaStatusChanged, this, &FirstFrameGrabber::mediaStatus);
    connect(m_player.get(), &QMediaPlayer::errorOccurred, this, [this] { finish({}, false, m_grabNumber); });
    // Direct: the conversion runs where the frame arrives; only this grab's first image
    // crosses over.
    connect(
        sink, &QVideoSink::videoFrameChanged, this,
        [this, grabNumber = ++m_grabNumber, taken = std::make_shared<std::atomic<bool>>(false)](
            const QVideoFrame& frame) {
            if (!frame.isValid() || taken->load())
                return;
            QImage image = frame.toImage();
            if (image.isNull() || taken->exchange(true))
                return;
            QMetaObject::invokeMethod(
                this, [this, image = std::move(image), grabNumber] { finish(image, true, grabNumber); },
                Qt::QueuedConnection);
        },
        Qt::DirectConnection);
    return *m_player;
}

void FirstFrameGrabber::grab(const QUrl& source)
{
    cancel();
    newPlayer().setSource(source);
    start();
}

void FirstFrameGrabber::grab(QIODevice* device, const QUrl& name)
{
    cancel();
    newPlayer().setSourceDevice(device, name);
    start();
}

void FirstFrameGrabber::start()
{
    m_running = true;
    m_timeout.start();
    m_player->play();
}

void FirstFrameGrabber::cancel()
{
    m_running = false;
    m_timeout.stop();
    if (!m_player)
        return;
    // This may run inside one of the player's signals, so it goes later; its source now.
    m_player->disconnect(this);
    m_player->videoSink()->disconnect(this);
    m_player->stop();
    m_player->setSource(QUrl());
    m_player.release()->deleteLater();
}

void FirstFrameGrabber::mediaStatus(QMediaPlayer::MediaStatus status)
{
    if (!m_running)
        return;
    if (status == QMediaPlayer::InvalidMedia || status == QMediaPlayer::EndOfMedia) {
        finish({}, false, m_grabNumber); // unreadable, or played to its end without a frame
    } else if (status == QMediaPlayer::LoadedMedia && !m_player->hasVideo()) {
        const QMediaMetaData tags = m_player->metaData();
        const QImage cover = tags.value(QMediaMetaData::CoverArtImage).value<QImage>();
        finish(cover.isNull() ? tags.value(QMediaMetaData::ThumbnailImage).value<QImage>() : cover, true,
               m_grabNumber);
    }
}

void FirstFrameGrabber::finish(const QImage& frame, bool decodes, unsigned grabNumber)
{
    if (!m_running || grabNumber != m_grabNumber)
        return;
    cancel();
    emit grabbed(frame, decodes);
}

} // namespace salvyn
