#pragma once
// What makes the picture of a found video or sound: its first frame, or a sound's cover.
// Asynchronous and bound to the thread it lives on: grab() returns at once and `grabbed`
// follows there. The thumbnails of a result screen run many of these on a worker thread.
#include <QImage>
#include <QObject>
#include <QUrl>

class QIODevice;

namespace salvyn {

class FrameDecoder : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~FrameDecoder() override;

    // Grabs from `device`, which must stay open until `grabbed` or cancel(); `name` tells the
    // file's type. A grab still running is given up.
    virtual void grab(QIODevice* device, const QUrl& name) = 0;
    // Gives up a running grab without a signal and lets go of its source.
    virtual void cancel() = 0;

signals:
    // The first frame or the cover, null when there is none or no answer came in time;
    // `decodes` is false when the file could not be read as its type at all.
    void grabbed(const QImage& picture, bool decodes);
};

} // namespace salvyn
