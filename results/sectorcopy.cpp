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
        const std::size_t wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(pieceSectors, (left + kSectorSize - 1) / kSectorSize));
        // As many as the medium hands over in one read; from the first it cannot, one by one.
        const std::size_t arrived = positioned ? medium.readSectorsInto(piece.data(), wanted) : 0;
        for (std::size_t k = arrived; k < wanted; ++k) {
            std::uint8_t* bytes = piece.data() + k * kSectorSize;
            if (!positioned || medium.readSector(bytes) != 1) {
                ++end.unreadableSectors;
                std::memset(bytes, 0, kSectorSize);
                positioned = medium.seekToSector(sector + k + 1);
            }
        }
        sector += wanted;
        const std::size_t filled = static_cast<std::size_t>(std::min<std::uint64_t>(left, wanted * kSectorSize));
        left -= filled;
        if (!take({piece.data(), filled}))
            break;
    }
    return end;
}

} // namespace salvyn
