#pragma once
// The kernel's mount table (/proc/self/mountinfo) read as text, in mount order, without
// touching any mounted file system: a network share that no longer answers cannot stall
// the media list. Any thread.
#include "media/volumefilter.h"

#include <string_view>
#include <vector>

namespace salvyn {

// One entry per well-formed line; mount points and devices with their octal escapes
// ("\040" for a space) undone. Malformed lines are skipped.
std::vector<MountedVolume> parseMountInfo(std::string_view text);

// The mount table of this process; empty when it cannot be read.
std::vector<MountedVolume> readMountTable();

} // namespace salvyn
