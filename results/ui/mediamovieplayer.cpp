#include "results/ui/mediamovieplayer.h"

#include "platform/qt/iconprovider.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStackedWidget>
#include <QStyle>
#include <QTime>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QVideoWidget>

#include <limits>

namespace salvyn {
namespace {

constexpr int kIconSide = 96;

} // namespace

MediaMoviePlayer::MediaMoviePlayer(const IconProvider& icons, QWidget* parent)
    : QWidget(parent), m_icons(icons), m_screen(new QStackedWidget(this)), m_still(new QLabel(m_screen)),
      m_video(new QVideoWidget(m_screen)), m_playPause(new QPushButton(this)),
      m_position(new QSlider(Qt::Horizontal, this))
{
    m_player.setAudioOutput(&m_audio);
    m_player.setVideoOutput(m_video);
    m_still->setObjectName(QStringLiteral("movieStill"));
    m_still->setAlignment(Qt::AlignCenter);
    m_still->setMinimumSize(1, 1);
    m_screen->addWidget(m_still);
    m_screen->addWidget(m_video);

    m_playPause->setObjectName(QStringLiteral("moviePlayPause"));
    m_position->setObjectName(QStringLiteral("moviePosition"));
    m_position->setRange(0, 0);
    showPlaybackState(QMediaPlayer::StoppedState);

    auto* controls = new QHBoxLayout;
    controls->addWidget(m_playPause);
    controls->addWidget(m_position, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_screen, 1);
    layout->addLayout(controls);

    connect(m_playPause, &QPushButton::clicked, this, &MediaMoviePlayer::togglePlayback);
    connect(m_position, &QSlider::sliderMoved, &m_player, &QMediaPlayer::setPosition);
    connect(&m_player, &QMediaPlayer::playbackStateChanged, this, &MediaMoviePlayer::showPlaybackState);
    connect(&m_player, &QMediaPlayer::durationChanged, this, &MediaMoviePlayer::showDuration);
    connect(&m_player, &QMediaPlayer::positionChanged, this, &MediaMoviePlayer::showPosition);
    connect(&m_grabber, &FirstFrameGrabber::grabbed, this, &MediaMoviePlayer::showStill);
}

MediaMoviePlayer::~MediaMoviePlayer()
{
    close();
}

bool MediaMoviePlayer::open(const QString& path)
{
    close();
    m_player.setSource(QUrl::fromLocalFile(path));
    if (!loaded())
        return false;
    m_type = QFileInfo(path).suffix();
    m_grabber.grab(QUrl::fromLocalFile(path));
    return true;
}

bool MediaMoviePlayer::open(MovieDevices devices, const QString& name)
{
    close();
    m_devices = std::move(devices);
    m_player.setSourceDevice(m_devices.playing.get(), QUrl(name));
    if (!loaded())
        return false;
    m_type = QFileInfo(name).suffix();
    m_grabber.grab(m_devices.still.get(), QUrl(name));
    return true;
}

bool MediaMoviePlayer::loaded()
{
    QEventLoop verdict;
    bool loaded = false;
    const auto judge = [&](QMediaPlayer::MediaStatus status) {
        if (status == QMediaPlayer::LoadedMedia)
            loaded = true;
        if (status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::InvalidMedia)
            verdict.quit();
    };
    connect(&m_player, &QMediaPlayer::mediaStatusChanged, &verdict, judge);
    connect(&m_player, &QMediaPlayer::errorOccurred, &verdict, [&] { verdict.quit(); });
    QTimer::singleShot(openTimeoutMs, &verdict, [&] { verdict.quit(); });
    const QMediaPlayer::MediaStatus now = m_player.mediaStatus();
    loaded = now == QMediaPlayer::LoadedMedia;
    if (!loaded && now != QMediaPlayer::InvalidMedia && m_player.error() == QMediaPlayer::NoError)
        verdict.exec(QEventLoop::ExcludeUserInputEvents);
    if (!loaded)
        close();
    return loaded;
}

void MediaMoviePlayer::stop()
{
    m_player.stop();
}

void MediaMoviePlayer::close()
{
    m_grabber.cancel();
    m_player.stop();
    m_player.setSource(QUrl());
    m_devices = {}; // once the players have let go of them
    m_still->clear();
    m_screen->setCurrentWidget(m_still);
    showDuration(0);
}

QPixmap MediaMoviePlayer::still() const
{
    return m_still->pixmap();
}

// A sound without a cover picture: what it is and how long it lasts.
QPixmap MediaMoviePlayer::soundCard() const
{
    QPixmap card(m_still->size().expandedTo({kIconSide, kIconSide + 2 * fontMetrics().height()}));
    card.fill(palette().color(QPalette::Window));
    QPainter painter(&card);
    const QRect icon((card.width() - kIconSide) / 2, (card.height() - kIconSide) / 2 - fontMetrics().height(),
                     kIconSide, kIconSide);
    m_icons.iconForFileType(m_type).paint(&painter, icon);
    const QTime length = QTime(0, 0).addMSecs(static_cast<int>(qMin<qint64>(m_player.duration(), 86'399'999)));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRect(0, icon.bottom() + 1, card.width(), 2 * fontMetrics().height()), Qt::AlignCenter,
                     length.toString(length.hour() > 0 ? QStringLiteral("h:mm:ss") : QStringLiteral("m:ss")));
    return card;
}

void MediaMoviePlayer::showStill(const QImage& frame)
{
    if (!frame.isNull()) {
        m_still->setPixmap(
            QPixmap::fromImage(frame.scaled(m_still->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    } else if (!m_player.hasVideo()) {
        m_still->setPixmap(soundCard());
    }
    emit stillShown();
}

bool MediaMoviePlayer::isPlaying() const
{
    return m_player.playbackState() == QMediaPlayer::PlayingState;
}

void MediaMoviePlayer::togglePlayback()
{
    if (isPlaying()) {
        m_player.pause();
    } else if (!m_player.source().isEmpty()) {
        m_screen->setCurrentWidget(m_video);
        m_player.play();
    }
}

void MediaMoviePlayer::showPlaybackState(QMediaPlayer::PlaybackState state)
{
    const bool playing = state == QMediaPlayer::PlayingState;
    m_playPause->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    m_playPause->setToolTip(playing ? tr("Pause") : tr("Play"));
}

void MediaMoviePlayer::showDuration(qint64 durationMs)
{
    const QSignalBlocker quiet(m_position);
    m_position->setRange(0, static_cast<int>(qMin<qint64>(durationMs, std::numeric_limits<int>::max())));
}

void MediaMoviePlayer::showPosition(qint64 positionMs)
{
    if (m_position->isSliderDown())
        return;
    const QSignalBlocker quiet(m_position);
    m_position->setValue(static_cast<int>(qMin<qint64>(positionMs, m_position->maximum())));
}

} // namespace salvyn
