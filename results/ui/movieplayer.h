#pragma once
// The movie view of the preview box as the preview display drives it: open a file as a
// movie, stop it, put it away. UI thread only.
#include <QIODevice>
#include <QString>

#include <memory>

namespace salvyn {

// A found file played straight from the medium: a device for the player and one for the
// still shown before Play, each reading on its own.
struct MovieDevices {
    std::unique_ptr<QIODevice> playing;
    std::unique_ptr<QIODevice> still;
};

class MoviePlayer {
public:
    virtual ~MoviePlayer() = default;
    // Loads the file as the view's movie; true when it loaded as playable media within a few
    // seconds. Never starts playing: the user starts it with the view's controls.
    virtual bool open(const QString& path) = 0;
    // The same for a found file read from the medium; `name` is its name (its type tells the
    // player what it is). The player keeps the devices until close().
    virtual bool open(MovieDevices devices, const QString& name) = 0;
    // Stops the movie, keeping it in the view.
    virtual void stop() = 0;
    // Stops and removes the movie, letting go of its file.
    virtual void close() = 0;
    virtual bool isPlaying() const = 0;
};

} // namespace salvyn
