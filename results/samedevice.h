#pragma once
// Whether a folder may receive files saved from a medium. Writing onto the medium being
// recovered, or anywhere on its disk, can overwrite the very sectors that still hold lost
// files, so such a folder is refused: one on the medium itself, on another partition of
// its disk, or on a volume built on that disk (LVM, dm-crypt, RAID). A disk image is
// protected from its own file system mounted through a loop device; a folder beside the
// image file is fine, since writing there never changes the image's bytes.
#include <filesystem>
#include <string>
#include <sys/types.h>

namespace salvyn {

enum class DestinationProblem {
    None,
    SameDevice,   // the folder is on the medium (for an image: inside the image, loop-mounted)
    SameDisk,     // the folder is on another partition of the medium's disk, or built on it
    NotExaminable // the folder or the medium cannot be looked at, so nothing can be ruled out
};

// What the check knows of the medium: a block device by its device number, a disk image by
// its path.
struct MediumDevice {
    bool isBlockDevice = false;
    dev_t device = 0;                // block device only
    std::filesystem::path imagePath; // disk image only
};

// Where the kernel tells about devices and mounts; the tests lay out their own.
struct SystemFolders {
    std::filesystem::path sysBlock = "/sys/dev/block";         // "MAJ:MIN" links to device folders
    std::filesystem::path mountInfo = "/proc/self/mountinfo"; // for file systems on no single device (btrfs)
};

// `folder` and `mediumPath` as given. A folder that does not exist yet is judged by the
// nearest folder above it that does, where it would be made.
DestinationProblem destinationProblem(const std::filesystem::path& folder, const std::string& mediumPath,
                                      const SystemFolders& system = {});

// Whether `path` names the medium itself: the same file, or a node of the same block device.
bool isTheMedium(const std::filesystem::path& path, const std::string& mediumPath);

// The same decision from device numbers, for a folder whose file system lies on `folderDevice`.
DestinationProblem destinationProblem(dev_t folderDevice, const MediumDevice& medium, const SystemFolders& system);

} // namespace salvyn
