#pragma once
// One block device as the system's block-device lister describes it, and the chain from a
// mounted volume down to the whole disk that holds it (partition → disk, or
// mapper → partition → disk). The rules here decide what the media list learns about a
// volume: its identifier, its parent disk, its bus, whether it can be unplugged.
// Pure functions, any thread.
#include "media/diskinfo.h"
#include "media/udevproperties.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace salvyn {

struct BlockDevice {
    std::optional<std::string> kernelName;   // "sdb1", "mmcblk0p1", "loop0", "sr0"
    std::optional<std::string> path;         // "/dev/sdb1"
    std::optional<std::string> type;         // "part", "disk", "loop", "rom", "crypt", …
    std::optional<std::uint64_t> sizeBytes;
    std::optional<std::string> transport;    // "usb", "mmc", "sata", … (whole disks only)
    bool removable = false;
    bool hotPluggable = false;
    std::optional<std::string> fileSystemType;     // "vfat", "exfat", "ext4", …
    std::optional<std::string> fileSystemVersion;  // "FAT32", "1.0", …
    std::optional<std::string> label;        // an unlabelled volume has an empty label
    std::vector<std::string> mountPoints;
};

// The volume first, its whole disk last.
using BlockDeviceChain = std::vector<BlockDevice>;

// The disk information of the chain's volume. An empty chain gives an empty dictionary.
DiskInfo diskInfoFromChain(const BlockDeviceChain& chain, const UdevProperties& wholeDiskUdev);

// True when the whole disk can be unplugged: USB sticks and disks, SD cards (also in
// internal readers), optical drives. Internal disks, loop and virtual devices are not.
bool isHotPluggable(const BlockDeviceChain& chain);

// True when the whole disk is an optical drive, whose medium type only udev knows.
bool isOpticalDrive(const BlockDeviceChain& chain);

// Device path of the whole disk ("/dev/sr0"), empty when the chain does not name one.
std::string wholeDiskPath(const BlockDeviceChain& chain);

// The file system as users know it: "MS-DOS (FAT32)", "ExFAT", "NTFS", or the type itself.
std::optional<std::string> fileSystemUserVisibleName(const std::optional<std::string>& type,
                                                     const std::optional<std::string>& version);

} // namespace salvyn
