#include "results/ui/mediamovieplayer.h"

#include <QEventLoop>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QVideoWidget>

#include <limits>

namespace salvyn {

MediaMoviePlayer::MediaMoviePlayer(QWidget* parent)
    : QWidget(parent), m_video(new QVideoWidget(this)), m_playPause(new QPushButton(this)),
      m_position(new QSlider(Qt::Horizontal, this))
{
    m_player.setAudioOutput(&m_audio);
    m_player.setVideoOutput(m_video);

    m_playPause->setObjectName(QStringLiteral("moviePlayPause"));
    m_position->setObjectName(QStringLiteral("moviePosition"));
    m_position->setRange(0, 0);
    showPlaybackState(QMediaPlayer::StoppedState);

    auto* controls = new QHBoxLayout;
    controls->addWidget(m_playPause);
    controls->addWidget(m_position, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_video, 1);
    layout->addLayout(controls);

    connect(m_playPause, &QPushButton::clicked, this, &MediaMoviePlayer::togglePlayback);
    connect(m_position, &QSlider::sliderMoved, &m_player, &QMediaPlayer::setPosition);
    connect(&m_player, &QMediaPlayer::playbackStateChanged, this, &MediaMoviePlayer::showPlaybackState);
    connect(&m_player, &QMediaPlayer::durationChanged, this, &MediaMoviePlayer::showDuration);
    connect(&m_player, &QMediaPlayer::positionChanged, this, &MediaMoviePlayer::showPosition);
}

bool MediaMoviePlayer::open(const QString& path)
{
    close();
    m_player.setSource(QUrl::fromLocalFile(path));

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
        m_player.setSource(QUrl());
    return loaded;
}

void MediaMoviePlayer::stop()
{
    m_player.stop();
}

void MediaMoviePlayer::close()
{
    m_player.stop();
    m_player.setSource(QUrl());
    showDuration(0);
}

bool MediaMoviePlayer::isPlaying() const
{
    return m_player.playbackState() == QMediaPlayer::PlayingState;
}

void MediaMoviePlayer::togglePlayback()
{
    if (isPlaying())
        m_player.pause();
    else if (!m_player.source().isEmpty())
        m_player.play();
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
