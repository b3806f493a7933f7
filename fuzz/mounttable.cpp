// The mount-table reader over arbitrary text: one entry at most per line, and no
// path longer than the text it came from.
#include "fuzzcheck.h"
#include "media/mounttable.h"

#include <algorithm>

using salvyn::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto table = salvyn::parseMountInfo(text);
    require(table.size() <= static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1,
            "one entry at most per line");
    for (const salvyn::MountedVolume& volume : table) {
        require(!volume.mountPath.empty() && volume.mountPath.size() <= size, "a mount path comes from its line");
        require(!volume.device.empty() && volume.device.size() <= size, "a device comes from its line");
    }
    return 0;
}
