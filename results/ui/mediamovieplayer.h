#pragma once
// The movie view of the preview box: the picture of the movie, a play/pause button and a
// position slider, over Qt Multimedia (GStreamer on Debian). A loaded movie waits for the
// user; nothing here starts it. UI thread only.
#include "results/ui/movieplayer.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QWidget>

class QPushButton;
class QSlider;
class QVideoWidget;

namespace salvyn {

class MediaMoviePlayer final : public QWidget, public MoviePlayer {
    Q_OBJECT
public:
    // How long a file may take to load before it counts as not a movie.
    static constexpr int openTimeoutMs = 5000;

    explicit MediaMoviePlayer(QWidget* parent = nullptr);

    // Waits for the verdict in a local event loop that takes no user input, so no click can
    // start a second preview meanwhile.
    bool open(const QString& path) override;
    void stop() override;
    void close() override;
    bool isPlaying() const override;

    // Whether this system has a media backend at all.
    bool isAvailable() const { return m_player.isAvailable(); }

private:
    void togglePlayback();
    void showPlaybackState(QMediaPlayer::PlaybackState state);
    void showDuration(qint64 durationMs);
    void showPosition(qint64 positionMs);

    QMediaPlayer m_player;
    QAudioOutput m_audio;
    QVideoWidget* m_video = nullptr;
    QPushButton* m_playPause = nullptr;
    QSlider* m_position = nullptr;
};

} // namespace salvyn
