#pragma once
// The copy of a run of sectors out of a medium, shared by the preview and by saving. Sectors
// are read in order and handed on in pieces; an unreadable sector becomes 512 zero bytes and
// reading goes on at the next sector, so every later byte keeps its place. Runs on the
// caller's thread.
#include "platform/sectorstream.h"

#include <cstdint>
#include <functional>
#include <span>

namespace salvyn {

struct SectorCopyRequest {
    std::uint64_t firstSector = 0;
    std::uint64_t byteCount = 0;  // whole sectors, the last one cut to what is left
    bool positioned = false;      // the medium stands at firstSector already
    std::size_t pieceSectors = 1; // the most sectors one piece holds
};

struct SectorCopyEnd {
    std::uint64_t unreadableSectors = 0; // handed on as zeros
    bool stopped = false;                // keepGoing ended the copy
};

// Asked before each piece is read; false ends the copy there.
using SectorCopyKeepGoing = std::function<bool()>;
// Takes one piece, valid during the call; false ends the copy after it.
using SectorCopyTake = std::function<bool(std::span<const std::uint8_t>)>;

// While the medium cannot be put on a sector, that sector counts as unreadable and the
// next one is sought.
SectorCopyEnd copySectors(SectorStream& medium, const SectorCopyRequest& request, const SectorCopyKeepGoing& keepGoing,
                          const SectorCopyTake& take);

} // namespace salvyn
