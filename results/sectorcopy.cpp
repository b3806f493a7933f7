#include "results/sectorcopy.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace salvyn {

SectorCopyEnd copySectors(SectorStream& medium, const SectorCopyRequest& request, const SectorCopyKeepGoing& keepGoing,
                          const SectorCopyTake& take)
{
    SectorCopyEnd end;
    const std::size_t pieceSectors = std::max<std::size_t>(request.pieceSectors, 1);
    std::vector<std::uint8_t> piece(pieceSectors * kSectorSize);
    bool positioned = request.positioned;
    std::uint64_t sector = request.firstSector;
    std::uint64_t left = request.byteCount;
    while (left > 0) {
        if (!keepGoing()) {
            end.stopped = true;
            break;
        }
        std::size_t filled = 0;
        for (std::size_t k = 0; k < pieceSectors && filled < left; ++k, ++sector) {
            std::uint8_t* bytes = piece.data() + filled;
            if (!positioned || medium.readSector(bytes) != 1) {
                ++end.unreadableSectors;
                std::memset(bytes, 0, kSectorSize);
                positioned = medium.seekToSector(sector + 1);
            }
            filled += static_cast<std::size_t>(std::min<std::uint64_t>(kSectorSize, left - filled));
        }
        left -= filled;
        if (!take({piece.data(), filled}))
            break;
    }
    return end;
}

} // namespace salvyn
