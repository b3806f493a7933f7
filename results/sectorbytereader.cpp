#include "results/sectorbytereader.h"

#include <algorithm>
#include <cstring>

namespace salvyn {

std::size_t SectorByteReader::readAt(std::uint64_t byteOffset, std::uint8_t* out, std::size_t size)
{
    std::size_t skip = static_cast<std::size_t>(byteOffset % kSectorSize);
    std::size_t copied = 0;
    if (size == 0 || !m_medium.seekToSector(byteOffset / kSectorSize))
        return 0;
    std::uint8_t buffer[kSectorSize];
    while (copied < size) {
        // Whole sectors go straight into place, as many as the medium hands over in one read.
        if (skip == 0 && size - copied >= kSectorSize) {
            const std::size_t arrived = m_medium.readSectorsInto(out + copied, (size - copied) / kSectorSize);
            copied += arrived * kSectorSize;
            if (arrived > 0)
                continue;
        }
        if (m_medium.readSector(buffer) != 1)
            break;
        const std::size_t piece = std::min(size - copied, kSectorSize - skip);
        std::memcpy(out + copied, buffer + skip, piece);
        copied += piece;
        skip = 0;
    }
    return copied;
}

} // namespace salvyn
