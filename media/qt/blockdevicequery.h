#pragma once
// Asks the system about one block device: lsblk for the device chain, udev for the
// properties of a device. Blocks the calling thread until the utility answers or its
// time limit runs out. An unusable answer reads as nothing known.
#include "media/blockdevice.h"
#include "media/udevproperties.h"

#include <QString>

namespace salvyn {

BlockDeviceChain queryBlockDeviceChain(const QString& devicePath);
UdevProperties queryUdevProperties(const QString& devicePath);

} // namespace salvyn
