#pragma once
// How much of a found file a movie preview covers. The search ends a file's range at the
// next header or a fixed limit, but a video or sound often keeps its index at its very end,
// so a player needs the whole file: when the saving plan reads the file's true end from its
// own structure and that end lies beyond the range, the preview reaches it. Otherwise the
// range is all there is. Finding the end may read a streamed file (MPEG, Ogg, MP3) through
// to its end, so it can be called off. Reads the medium through the caller's stream; one thread.
#include "platform/sectorstream.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace salvyn {

// The bytes from `firstSector`, in whole sectors, of the found file `name` (its extension is
// its type) when its format end lies beyond its range, which ends at `endSector` (exclusive);
// none when the range is all there is, or when `keepGoing`, asked before each sector read,
// answered false. Moves the stream's position.
std::optional<std::uint64_t> wholeFileBeyondRange(const std::string& name, std::uint64_t firstSector,
                                                  std::uint64_t endSector, SectorStream& medium,
                                                  const std::function<bool()>& keepGoing = [] { return true; });

} // namespace salvyn
