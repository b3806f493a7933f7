#pragma once
// Describes a mounted volume for the media list. The real provider asks lsblk (and udev
// for optical media); tests answer recorded dictionaries. Called on the media list's worker thread.
#include "media/diskinfo.h"

#include <QString>

namespace salvyn {

class DiskInfoProvider {
public:
    virtual ~DiskInfoProvider() = default;
    // designator: a mount path or a "/dev/" device path. Nothing known gives an empty map.
    virtual DiskInfo diskInfo(const QString& designator) = 0;
};

class LsblkDiskInfoProvider : public DiskInfoProvider {
public:
    DiskInfo diskInfo(const QString& designator) override;
};

} // namespace salvyn
