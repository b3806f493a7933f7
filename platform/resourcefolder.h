#pragma once
// Where the shipped data lives (signature lists, pictures, help): beside the program as
// <program folder>/../share/salvyn, which holds in the build tree and when installed,
// else the system's data folders. Any thread.
#include <filesystem>
#include <string>
#include <vector>

namespace salvyn {

// The first existing folder of: `programFile`'s folder + "/../share/salvyn", then each
// of `fallbacks` in order. When none exists, the program-relative folder, so that
// loading finds nothing rather than reading from some unrelated place.
std::string resourceFolderFor(const std::filesystem::path& programFile, const std::vector<std::string>& fallbacks);

// The folder for the running program, with "/usr/share/salvyn" and
// "/usr/local/share/salvyn" as fallbacks.
std::string findResourceFolder();

} // namespace salvyn
