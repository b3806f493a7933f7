#pragma once
// Reads the JSON answer of `lsblk --json --bytes --inverse` for one device: the device and,
// nested under "children", the devices it sits on, down to its whole disk. Accepts what
// util-linux versions write differently: booleans as true/false or "0"/"1", sizes as
// numbers or digit strings, MOUNTPOINTS arrays holding nulls or a single MOUNTPOINT.
// Any thread.
#include "media/blockdevice.h"

#include <QByteArray>

namespace salvyn {

// The chain from the device down to its whole disk; empty when the answer is not a
// lsblk document. Where a device sits on several others, the first one is followed.
BlockDeviceChain parseLsblkChain(const QByteArray& json);

} // namespace salvyn
