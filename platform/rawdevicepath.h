#pragma once
// The one place where a medium's identifier becomes a path to read.
#include <optional>
#include <string>
#include <string_view>

namespace salvyn {

// "/dev/" + identifier for a kernel device name (letters, digits and "._:-" only, not "." or
// ".."); an absolute path (a disk image, or a device given by path) is kept as it is.
// Anything else has no path.
std::optional<std::string> rawDevicePath(std::string_view identifierOrPath);

} // namespace salvyn
