#pragma once
// The first picture of a movie as an image: for the still the movie view shows before Play,
// and for thumbnails of found videos. Loads the movie in a player of its own, without sound,
// runs it to its first frame and stops. Asynchronous: grab() returns at once and `grabbed`
// follows on this object's thread. The frame is converted on the player's rendering thread,
// never on this one. A sound file gives its cover picture, when it has one.
#include "results/ui/framedecoder.h"

#include <QMediaPlayer>
#include <QTimer>
#include <QVideoSink>

#include <memory>

namespace salvyn {

class FirstFrameGrabber final : public FrameDecoder {
    Q_OBJECT
public:
    // How long a movie may take to show its first picture before it counts as having none.
    static constexpr int timeoutMs = 5000;

    explicit FirstFrameGrabber(QObject* parent = nullptr);
    // Gives up a grab still running: its player must let go of its source before it goes.
    ~FirstFrameGrabber() override;

    // Grabs from the file at `source`; a grab still running is given up.
    void grab(const QUrl& source);
    // Grabs from `device` (read from the player's threads), which must stay open until
    // `grabbed` or cancel(); `name` tells the player the file's type.
    void grab(QIODevice* device, const QUrl& name) override;
    void cancel() override;

private:
    // A player of its own for each grab: Qt's GStreamer player cannot go over from a file
    // it has played to a device.
    QMediaPlayer& newPlayer();
    void start();
    void mediaStatus(QMediaPlayer::MediaStatus status);
    void finish(const QImage& frame, bool decodes, unsigned grabNumber);

    std::unique_ptr<QMediaPlayer> m_player;
    QTimer m_timeout;
    unsigned m_grabNumber = 0; // tells a late frame of an earlier grab apart
    bool m_running = false;    // a grab has not answered yet
};

} // namespace salvyn
