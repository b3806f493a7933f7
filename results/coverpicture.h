#pragma once
// The picture a sound file carries of its album: an ID3 v2 APIC (or v2.2 PIC) frame, a FLAC
// PICTURE block, or the `covr` item of an MP4's iTunes tags. Used where the media framework
// does not hand the picture over.
#include "results/formatendreader.h"

#include <cstdint>
#include <vector>

namespace salvyn {

// The encoded picture (JPEG or PNG as stored), empty when the file has none, is of another
// format, or its tags are cut short or contradict themselves.
std::vector<std::uint8_t> coverPicture(FormatEndReader& file);

} // namespace salvyn
