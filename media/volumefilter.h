#pragma once
// Which mounted volumes may be offered for recovery: those on a device node whose whole
// disk can be unplugged, each device once, under the first path it is mounted at, in the
// order of the mount table. Network, fuse, tmpfs and other virtual mounts have no
// "/dev/" device and never qualify. Pure function, any thread.
#include <functional>
#include <string>
#include <vector>

namespace salvyn {

struct MountedVolume {
    std::string mountPath;
    std::string device;   // "/dev/sdb1", "tmpfs", "server:/export", …
};

// wholeDiskIsHotPluggable is asked at most once per device, and only for "/dev/" devices.
std::vector<std::string> removableMountPaths(
    const std::vector<MountedVolume>& mountTable,
    const std::function<bool(const std::string& device)>& wholeDiskIsHotPluggable);

} // namespace salvyn
