#pragma once
// Opens a medium for reading by device identifier ("sdb1" is /dev/sdb1) or by the absolute
// path of a disk image. Nothing is ever opened for writing.
#include "platform/sectorstream.h"

#include <memory>
#include <string>

namespace salvyn {

struct SectorSourceError {
    int errorNumber = 0;   // errno of the failure
    std::string path;      // what was tried, e.g. "/dev/sdb1"
    std::string message;   // "cannot open /dev/sdb1: Permission denied"
};

struct SectorSourceOpening {
    std::unique_ptr<SectorStream> stream;   // null when the medium cannot be opened
    SectorSourceError error;                // filled when stream is null
};

class SectorSourceOpener {
public:
    virtual ~SectorSourceOpener() = default;
    // Every call gives a new, independent stream positioned at sector 0.
    virtual SectorSourceOpening open(const std::string& identifierOrPath) = 0;
};

} // namespace salvyn
