#pragma once
// Pictures for the found videos and sounds of a finished search: a frame of each video, the
// cover of each sound that carries one, and the damaged mark for a file that does not decode.
//
// A file is taken once its details are measured (they give the length Save would write),
// read from the medium through a device of its own. The decoders run on a worker thread with
// its own event loop, a few at a time, because a player reads its device on the thread it
// lives on and a read may wait for the medium: neither the reads nor the decoding ever touch
// the UI thread. Finished pictures go to the list in batches. An emptied list, a new start
// or the end of this object gives up what is queued and running.
//
// UI thread only; the list must outlive this object.
#include "results/ui/framedecoder.h"

#include <QObject>
#include <QThread>

#include <functional>
#include <memory>
#include <string>

namespace salvyn {

class FoundFileList;
class SectorSourceOpener;

class VideoThumbnails final : public QObject {
    Q_OBJECT
public:
    // Makes a decoder on the worker thread, once per file.
    using DecoderMaker = std::function<std::unique_ptr<FrameDecoder>()>;
    // How many files are decoded at once.
    static constexpr int grabsAtOnce = 3;

    // `opener` must outlive this object and open media from any thread.
    VideoThumbnails(FoundFileList& images, SectorSourceOpener& opener, DecoderMaker makeDecoder,
                    QObject* parent = nullptr);
    ~VideoThumbnails() override; // gives up every grab and waits for the worker to end

    // Takes the picture of every row of the list measured from now on, read from `medium`:
    // the rows are videos, else sounds.
    void start(std::string medium, bool videos);
    // Gives up what is queued and running; nothing more is taken until the next start.
    void cancel();

private:
    class Worker;

    void detailsMeasured(int firstRow, int lastRow);

    FoundFileList& m_images;
    QThread m_thread;
    Worker* m_worker = nullptr; // lives on m_thread
    std::string m_medium;       // empty: not taking pictures
    bool m_videos = true;
    unsigned m_round = 0;       // tells pictures of a given-up round apart
};

} // namespace salvyn
