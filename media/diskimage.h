#pragma once
// A disk image file (or a block device named by its path) offered as a medium: the record
// carries the absolute path as its identifier, so scans and previews open the path itself.
// Any thread.
#include "media/mydataobject.h"

#include <optional>
#include <string>

namespace salvyn {

struct DiskImageResult {
    std::optional<MyDataObject> record;
    std::string error;   // why the path was refused; empty when record is set
};

// Refuses what is not a readable regular file or block device of at least one sector. A block device
// the user may not open yet is accepted: reading it goes through the privileged opener.
DiskImageResult recordForDiskImage(const std::string& path);

} // namespace salvyn
