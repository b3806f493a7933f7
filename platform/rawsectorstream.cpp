#include "platform/rawsectorstream.h"

#include "platform/pairedread.h"

#include <cstring>
#include <fcntl.h>
#include <limits>
#include <unistd.h>

namespace salvyn {

namespace {

constexpr std::uint64_t kLargestOffsetSector = static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()) / kSectorSize;

} // namespace

RawSectorStream::RawSectorStream(int fd, std::uint64_t byteSize)
    : m_fd(fd), m_byteSize(byteSize), m_block(kBlockSectors * kSectorSize), m_pairedRead(std::make_unique<PairedRead>(fd))
{
    ::posix_fadvise(m_fd, 0, 0, POSIX_FADV_SEQUENTIAL);
}

RawSectorStream::~RawSectorStream()
{
    m_pairedRead.reset(); // its helper reads the descriptor
    ::close(m_fd);
}

bool RawSectorStream::seekToSector(std::uint64_t sector)
{
    if (sector > kLargestOffsetSector || sector * kSectorSize > m_byteSize)
        return false;
    m_position = sector;
    return true;
}

std::size_t RawSectorStream::readSector(std::uint8_t* sector)
{
    const std::uint8_t* bytes = readSectorInPlace(sector);
    if (bytes != nullptr && bytes != sector)
        std::memcpy(sector, bytes, kSectorSize);
    return bytes != nullptr;
}

const std::uint8_t* RawSectorStream::readSectorInPlace(std::uint8_t* spare)
{
    if (m_position >= kLargestOffsetSector)
        return nullptr;
    if (heldInBlock() == 0) {
        if (readsOneByOne()) {
            if (!readOneSector(spare))
                return nullptr;
            ++m_position;
            return spare;
        }
        if (!fillBlock())
            return readSectorInPlace(spare);
    }
    const std::uint8_t* bytes = m_block.data() + (m_position - m_blockFirst) * kSectorSize;
    ++m_position;
    return bytes;
}

std::size_t RawSectorStream::sectorsAtHand(const std::uint8_t*& sectors, std::size_t most)
{
    if (heldInBlock() == 0 && (m_position >= kLargestOffsetSector || readsOneByOne() || !fillBlock()))
        return 0;
    sectors = m_block.data() + (m_position - m_blockFirst) * kSectorSize;
    return static_cast<std::size_t>(std::min<std::uint64_t>(most, heldInBlock()));
}

std::size_t RawSectorStream::readSectorsInto(std::uint8_t* into, std::size_t count)
{
    if (m_position >= kLargestOffsetSector || readsOneByOne())
        return 0;
    count = static_cast<std::size_t>(std::min<std::uint64_t>(count, kLargestOffsetSector - m_position));
    // What the block buffer already holds is handed over from there.
    std::size_t done = static_cast<std::size_t>(std::min<std::uint64_t>(count, heldInBlock()));
    if (done > 0) {
        std::memcpy(into, m_block.data() + (m_position - m_blockFirst) * kSectorSize, done * kSectorSize);
        m_position += done;
    }
    if (done < count) {
        const std::size_t got = m_pairedRead->read(into + done * kSectorSize, (count - done) * kSectorSize,
                                                   m_position * kSectorSize) / kSectorSize;
        m_position += got;
        done += got;
    }
    return done;
}

// Reads the block starting at the position. When it comes back short, its good sectors stay
// buffered and the rest of the block is read sector by sector; false when none came.
bool RawSectorStream::fillBlock()
{
    const std::uint64_t wanted = std::min<std::uint64_t>(kBlockSectors, kLargestOffsetSector - m_position);
    const std::size_t got = m_pairedRead->read(m_block.data(), wanted * kSectorSize, m_position * kSectorSize);
    m_blockFirst = m_position;
    m_blockCount = got / kSectorSize;
    if (m_blockCount == wanted)
        return true;
    m_singleReadsFrom = m_position;
    m_singleReadsUntil = m_position + wanted;
    return m_blockCount > 0;
}

bool RawSectorStream::readOneSector(std::uint8_t* sector)
{
    return readFully(m_fd, sector, kSectorSize, m_position * kSectorSize) == kSectorSize;
}

} // namespace salvyn
