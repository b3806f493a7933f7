#include "results/ui/foundfiledevice.h"

#include "results/sectorcopy.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace salvyn {
namespace {

constexpr std::uint64_t kChunkSectors = 2048;
constexpr std::uint64_t kChunkBytes = kChunkSectors * kSectorSize;
// Read at once and always kept: the head, and the tail where most indexes sit.
constexpr std::uint64_t kHeadChunks = 1;
constexpr std::uint64_t kTailChunks = 4;
// Kept ahead of the chunk the player reads in (about a second of a phone's video), and behind.
constexpr std::uint64_t kChunksAhead = 8;
constexpr std::uint64_t kChunksBehind = 1;

} // namespace

FoundFileDevice::FoundFileDevice(std::unique_ptr<SectorStream> medium, std::uint64_t firstSector,
                                 std::uint64_t byteCount)
    : m_medium(std::move(medium)), m_firstSector(firstSector), m_byteCount(byteCount)
{
    const std::uint64_t chunks = chunkCount();
    for (std::uint64_t index = 0; index < std::min(kHeadChunks, chunks); ++index)
        m_chunks.emplace(index, readChunk(index));
    for (std::uint64_t index = chunks > kTailChunks ? chunks - kTailChunks : 0; index < chunks; ++index)
        if (!m_chunks.count(index))
            m_chunks.emplace(index, readChunk(index));
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    m_reader = std::thread([this] { readAhead(); });
}

FoundFileDevice::~FoundFileDevice()
{
    {
        std::lock_guard lock(m_lock);
        m_closing = true;
    }
    m_wake.notify_one();
    m_reader.join();
}

std::uint64_t FoundFileDevice::chunkCount() const
{
    return (m_byteCount + kChunkBytes - 1) / kChunkBytes;
}

bool FoundFileDevice::kept(std::uint64_t index) const
{
    return index < kHeadChunks || index + kTailChunks >= chunkCount() ||
           (index + kChunksBehind >= m_wanted && index <= m_wanted + kChunksAhead);
}

std::uint64_t FoundFileDevice::copyCached(std::uint64_t offset, char* data, std::uint64_t size) const
{
    const auto chunk = m_chunks.find(offset / kChunkBytes);
    if (chunk == m_chunks.end())
        return 0;
    const std::uint64_t inChunk = offset - chunk->first * kChunkBytes;
    const std::uint64_t piece = std::min<std::uint64_t>(size, chunk->second.size() - inChunk);
    std::memcpy(data, chunk->second.data() + inChunk, piece);
    return piece;
}

qint64 FoundFileDevice::readData(char* data, qint64 maxSize)
{
    const std::uint64_t start = static_cast<std::uint64_t>(pos());
    if (start >= m_byteCount || maxSize <= 0)
        return 0;
    const std::uint64_t wanted = std::min<std::uint64_t>(static_cast<std::uint64_t>(maxSize), m_byteCount - start);
    std::unique_lock lock(m_lock);
    m_wanted = start / kChunkBytes;
    m_wake.notify_one();
    std::uint64_t done = copyCached(start, data, wanted);
    if (done == 0) {
        m_arrived.wait_for(lock, std::chrono::milliseconds(missWaitMs),
                           [&] { return m_chunks.count(start / kChunkBytes) != 0; });
        done = copyCached(start, data, wanted);
    }
    while (done > 0 && done < wanted) {
        const std::uint64_t more = copyCached(start + done, data + done, wanted - done);
        if (more == 0)
            break;
        done += more;
    }
    if (done > 0)
        return static_cast<qint64>(done);
    // Not read in time: zeros up to the chunk's end keep the player going at the right place.
    done = std::min(wanted, kChunkBytes - start % kChunkBytes);
    std::memset(data, 0, done);
    return static_cast<qint64>(done);
}

void FoundFileDevice::readAhead()
{
    std::unique_lock lock(m_lock);
    while (!m_closing) {
        const std::uint64_t wanted = m_wanted;
        const std::uint64_t last = std::min(chunkCount(), wanted + 1 + kChunksAhead);
        std::uint64_t next = wanted;
        while (next < last && m_chunks.count(next))
            ++next;
        if (next >= last) {
            m_wake.wait(lock, [&] { return m_closing || m_wanted != wanted; });
            continue;
        }
        lock.unlock();
        Chunk chunk = readChunk(next);
        lock.lock();
        if (m_closing)
            break;
        std::erase_if(m_chunks, [this](const auto& held) { return !kept(held.first); });
        if (kept(next))
            m_chunks.emplace(next, std::move(chunk));
        m_arrived.notify_all();
    }
}

FoundFileDevice::Chunk FoundFileDevice::readChunk(std::uint64_t index)
{
    const std::uint64_t bytes = std::min(kChunkBytes, m_byteCount - index * kChunkBytes);
    Chunk chunk;
    chunk.reserve(bytes);
    const std::uint64_t firstSector = m_firstSector + index * kChunkSectors;
    const bool positioned = m_medium->seekToSector(firstSector);
    copySectors(*m_medium, {firstSector, bytes, positioned, 64}, [this] { return !m_closing; },
                [&chunk](std::span<const std::uint8_t> piece) {
                    chunk.insert(chunk.end(), piece.begin(), piece.end());
                    return true;
                });
    return chunk;
}

} // namespace salvyn
