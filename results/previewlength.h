#pragma once
// How much of a found file a movie preview covers. The search ends a file's range at the
// next header or a fixed limit, but a video or sound often keeps its index at its very end,
// so a player needs the whole file: when the saving plan reads the file's true end from its
// own structure and that end lies beyond the range, the preview reaches it. Otherwise it
// keeps the range. Reads the medium through the caller's stream; one thread.
#include "platform/sectorstream.h"

#include <cstdint>
#include <string>

namespace salvyn {

// Bytes from `firstSector` (whole sectors) for the found file `name` (its extension is its
// type) whose range ends at `endSector` (exclusive). Moves the stream's position.
std::uint64_t wholeFilePreviewBytes(const std::string& name, std::uint64_t firstSector, std::uint64_t endSector,
                                    SectorStream& medium);

} // namespace salvyn
