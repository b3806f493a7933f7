#pragma once
// The disk information of one volume: a dictionary keyed by the property names below,
// as the disk information provider answers it, and the rule that turns it into a media
// record. Text keys hold std::string; "IOKitSize" holds the size in bytes as
// std::uint64_t. Absent keys are absent from the map; a value of the wrong type reads as
// absent. Pure functions, any thread.
#include "media/mydataobject.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>

namespace salvyn {

using DiskInfoValue = std::variant<std::string, std::uint64_t>;
using DiskInfo = std::map<std::string, DiskInfoValue>;

inline constexpr const char* kDeviceIdentifier = "DeviceIdentifier";
inline constexpr const char* kVolumeName = "VolumeName";
inline constexpr const char* kFilesystemUserVisibleName = "FilesystemUserVisibleName";
inline constexpr const char* kIOKitSize = "IOKitSize";
inline constexpr const char* kParentWholeDisk = "ParentWholeDisk";
inline constexpr const char* kBusProtocol = "BusProtocol";
inline constexpr const char* kOpticalDeviceType = "OpticalDeviceType";

std::optional<std::string> diskInfoText(const DiskInfo& info, const std::string& key);
// An absent size reads as 0.
std::uint64_t diskInfoSize(const DiskInfo& info);

// The media record of a volume, or none: disk images and CD media are never offered, and
// a volume without a device identifier cannot be read. An empty volume name becomes
// "Untitled"; an absent one stays empty.
std::optional<MyDataObject> find_disk_info(const DiskInfo& properties);

} // namespace salvyn
