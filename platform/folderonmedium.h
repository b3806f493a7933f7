#pragma once
// Whether writing into a folder could land on the medium being recovered, which would
// overwrite the very sectors that hold lost files.
#include <filesystem>
#include <string>

namespace salvyn {

// For a block device: true when `folder` lives on it, on one of its partitions, or on a
// device built on it (LVM, dm-crypt, RAID). For a disk image: true when the folder's file
// system is the image itself, mounted through a loop device; elsewhere writing never changes
// the image. A folder or medium that cannot be examined counts as on the medium.
bool folderIsOnMedium(const std::filesystem::path& folder, const std::string& mediumPath);

} // namespace salvyn
