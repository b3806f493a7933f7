#pragma once
// The movie view of the preview box: the picture of the movie, a play/pause button and a
// position slider, over Qt Multimedia (GStreamer on Debian). A loaded movie waits for the
// user; nothing here starts it. Until Play it shows a still: the video's first frame, the
// sound's cover picture, or else the file type's icon and the duration. UI thread only.
#include "results/ui/firstframegrabber.h"
#include "results/ui/movieplayer.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QWidget>

class QLabel;
class QPushButton;
class QSlider;
class QStackedWidget;
class QVideoWidget;

namespace salvyn {

class IconProvider;

class MediaMoviePlayer final : public QWidget, public MoviePlayer {
    Q_OBJECT
public:
    // How long a file may take to load before it counts as not a movie.
    static constexpr int openTimeoutMs = 5000;

    // `icons` must outlive the player.
    explicit MediaMoviePlayer(const IconProvider& icons, QWidget* parent = nullptr);
    // Lets go of the movie first: Qt's GStreamer player crashes when it is destroyed with a
    // source still loaded (its decoder's pads call back into the half-destroyed player).
    ~MediaMoviePlayer() override;

    // Waits for the verdict in a local event loop that takes no user input, so no click can
    // start a second preview meanwhile.
    bool open(const QString& path) override;
    bool open(MovieDevices devices, const QString& name) override;
    void stop() override;
    void close() override;
    bool isPlaying() const override;

    // Whether this system has a media backend at all.
    bool isAvailable() const { return m_player.isAvailable(); }
    qint64 durationMs() const { return m_player.duration(); }
    // The still shown until Play; null while none has come.
    QPixmap still() const;

signals:
    // The still is in place (a picture, or the type's icon and the duration).
    void stillShown();

private:
    // Waits for the player's verdict on the source just set; lets go of it when it fails.
    bool loaded();
    void showStill(const QImage& frame);
    QPixmap soundCard() const;
    void togglePlayback();
    void showPlaybackState(QMediaPlayer::PlaybackState state);
    void showDuration(qint64 durationMs);
    void showPosition(qint64 positionMs);

    const IconProvider& m_icons;
    // The movie's, when it is read from the medium. Before the players, which read them, so
    // that it goes after them.
    MovieDevices m_devices;
    QMediaPlayer m_player;
    QAudioOutput m_audio;
    FirstFrameGrabber m_grabber;
    QString m_type; // the loaded file's type, for its icon
    QStackedWidget* m_screen = nullptr;
    QLabel* m_still = nullptr;
    QVideoWidget* m_video = nullptr;
    QPushButton* m_playPause = nullptr;
    QSlider* m_position = nullptr;
};

} // namespace salvyn
