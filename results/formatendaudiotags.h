#pragma once
// The tags that taggers append after the sound itself (MP3, AAC, Monkey's Audio, WavPack).
#include "results/formatendreader.h"

#include <cstdint>
#include <optional>

namespace salvyn {

// Where the tags that follow the sound at `soundEnd` end: an APE tag, a Lyrics3 v2 block
// and an ID3 v1 tag, each optional, in the order taggers write them. `soundEnd` itself when
// none is there; none when a tag begins there but is cut short or contradicts itself.
std::optional<std::uint64_t> trailingTagsEnd(FormatEndReader& file, std::uint64_t soundEnd);

} // namespace salvyn
