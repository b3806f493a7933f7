#include "results/ui/firstframegrabber.h"

#include <QMediaMetaData>
#include <QVideoFrame>

namespace salvyn {

FirstFrameGrabber::FirstFrameGrabber(QObject* parent) : QObject(parent)
{
    m_player.setVideoSink(&m_sink);
    m_timeout.setSingleShot(true);
    m_timeout.setInterval(timeoutMs);
    connect(&m_timeout, &QTimer::timeout, this, [this] { finish({}, m_grabNumber); });
    connect(&m_player, &QMediaPlayer::mediaStatusChanged, this, &FirstFrameGrabber::mediaStatus);
    connect(&m_player, &QMediaPlayer::errorOccurred, this, [this] { finish({}, m_grabNumber); });
    // Direct: the conversion runs where the frame arrives; only the image crosses over.
    connect(
        &m_sink, &QVideoSink::videoFrameChanged, this,
        [this](const QVideoFrame& frame) {
            if (!frame.isValid() || !m_waiting.load())
                return;
            const unsigned grabNumber = m_grabNumber.load();
            QImage image = frame.toImage();
            if (image.isNull() || !m_waiting.exchange(false))
                return;
            QMetaObject::invokeMethod(
                this, [this, image = std::move(image), grabNumber] { finish(image, grabNumber); },
                Qt::QueuedConnection);
        },
        Qt::DirectConnection);
}

void FirstFrameGrabber::grab(const QUrl& source)
{
    cancel();
    m_player.setSource(source);
    start();
}

void FirstFrameGrabber::grab(QIODevice* device, const QUrl& name)
{
    cancel();
    m_player.setSourceDevice(device, name);
    start();
}

void FirstFrameGrabber::start()
{
    ++m_grabNumber;
    m_running = true;
    m_waiting = true;
    m_timeout.start();
    m_player.play();
}

void FirstFrameGrabber::cancel()
{
    m_running = false;
    m_waiting = false;
    m_timeout.stop();
    m_player.stop();
    m_player.setSource(QUrl());
}

void FirstFrameGrabber::mediaStatus(QMediaPlayer::MediaStatus status)
{
    if (!m_running)
        return;
    if (status == QMediaPlayer::InvalidMedia || status == QMediaPlayer::EndOfMedia) {
        finish({}, m_grabNumber);
    } else if (status == QMediaPlayer::LoadedMedia && !m_player.hasVideo()) {
        const QMediaMetaData tags = m_player.metaData();
        const QImage cover = tags.value(QMediaMetaData::CoverArtImage).value<QImage>();
        finish(cover.isNull() ? tags.value(QMediaMetaData::ThumbnailImage).value<QImage>() : cover, m_grabNumber);
    }
}

void FirstFrameGrabber::finish(const QImage& frame, unsigned grabNumber)
{
    if (!m_running || grabNumber != m_grabNumber.load())
        return;
    cancel();
    emit grabbed(frame);
}

} // namespace salvyn
