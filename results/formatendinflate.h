#pragma once
// One zlib or gzip stream inflated by zlib through a format end's reader, the output
// thrown away: where the stream ends, for the gzip and Flash format ends.
#include "results/formatendreader.h"

#include <cstdint>
#include <optional>

namespace salvyn {

struct InflatedStream {
    std::uint64_t end;          // the offset just past the stream's last byte
    std::uint64_t outputBytes;  // how many bytes it inflated to
};

// The stream that begins at `from`, with zlib's `windowBits` (15 for zlib, 16 + 15 for gzip);
// none when its data is broken or runs past the limit or the medium.
std::optional<InflatedStream> inflatedStream(FormatEndReader& file, std::uint64_t from, int windowBits);

} // namespace salvyn
