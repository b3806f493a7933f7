#include "media/volumefilter.h"

#include <set>

namespace salvyn {

std::vector<std::string> removableMountPaths(
    const std::vector<MountedVolume>& mountTable,
    const std::function<bool(const std::string& device)>& wholeDiskIsHotPluggable)
{
    std::vector<std::string> paths;
    std::set<std::string> seenDevices;
    for (const MountedVolume& volume : mountTable) {
        if (volume.mountPath.empty() || !volume.device.starts_with("/dev/"))
            continue;
        // A device mounted twice (bind mounts, a second mount point) is one medium.
        if (!seenDevices.insert(volume.device).second)
            continue;
        if (wholeDiskIsHotPluggable(volume.device))
            paths.push_back(volume.mountPath);
    }
    return paths;
}

} // namespace salvyn
