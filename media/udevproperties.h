#pragma once
// Properties udev keeps for a device ("KEY=VALUE" lines of `udevadm info --query=property`),
// and what they tell about the medium in an optical drive. Pure functions, any thread.
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace salvyn {

using UdevProperties = std::map<std::string, std::string>;

// Lines without '=' are ignored; the first '=' splits key from value.
UdevProperties parseUdevProperties(std::string_view text);

// The kind of disc in the drive ("CD-ROM", "CD-RW", "DVD-ROM", "DVD+RW", "BD-ROM", …), or
// none when udev does not say. Only the medium counts, never what the drive could read.
std::optional<std::string> opticalDeviceType(const UdevProperties& properties);

} // namespace salvyn
