#pragma once
// A found file read straight from the medium, as Qt Multimedia takes a source: a read-only,
// random-access QIODevice whose byte offsets are the file's own, mapped onto the medium's
// sectors. Nothing is ever written.
//
// The player pulls from the device on the UI thread (Qt's GStreamer source reads in its own
// object's thread), so the medium is never read there. The device is made on a worker,
// which reads the file's head and tail at once: players look for the file's index there
// when they load it. Then a reader thread of its own keeps a few chunks ready from where the
// player reads on, through a stream of its own. A read that finds its bytes missing (the
// player jumped, or reads faster than the medium) waits for that thread, long enough for a
// slow card to deliver a chunk but bounded: what has not come by then (a medium that stalls
// on failing sectors) reads as zeros, as an unreadable sector does, so every later byte keeps
// its place and the UI thread is never held for long.
#include "platform/sectorstream.h"

#include <QIODevice>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace salvyn {

class FoundFileDevice final : public QIODevice {
    Q_OBJECT
public:
    // How long a read waits for bytes that are not read yet: a chunk from a card at 2 MB/s.
    static constexpr int missWaitMs = 500;

    // The file's `byteCount` bytes from `firstSector` of `medium`, open read-only. Reads the
    // head and the tail before it returns: make it off the UI thread.
    FoundFileDevice(std::unique_ptr<SectorStream> medium, std::uint64_t firstSector, std::uint64_t byteCount);
    // Waits for the reader thread's chunk under way, if any.
    ~FoundFileDevice() override;

    bool isSequential() const override { return false; }
    qint64 size() const override { return static_cast<qint64>(m_byteCount); }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    using Chunk = std::vector<std::uint8_t>;

    void readAhead();
    Chunk readChunk(std::uint64_t index);
    std::uint64_t chunkCount() const;
    bool kept(std::uint64_t index) const; // under m_lock
    // Copies what the cache holds at `offset`; 0 when that chunk is missing. Under m_lock.
    std::uint64_t copyCached(std::uint64_t offset, char* data, std::uint64_t size) const;

    std::unique_ptr<SectorStream> m_medium; // the reader thread's once it runs
    const std::uint64_t m_firstSector;
    const std::uint64_t m_byteCount;

    mutable std::mutex m_lock;
    std::condition_variable m_wake;    // the reader: the player moved, or closing
    std::condition_variable m_arrived; // the player: a chunk came
    std::map<std::uint64_t, Chunk> m_chunks; // by chunk index
    std::uint64_t m_wanted = 0;              // the chunk the player reads in
    std::atomic<bool> m_closing{false};      // also ends a chunk read half way
    std::thread m_reader;
};

} // namespace salvyn
