#pragma once
// Runs the encoders Debian ships (ffmpeg, sox, ImageMagick, zip, ...) to make real sample
// files for the signature-list checks. Test-thread only.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace salvyn::test {

// Full path of `program` found on PATH, or nullopt.
std::optional<std::string> findProgram(const std::string& program);

// Runs `command` through the shell inside `folder`, output discarded; true on exit code 0.
bool runInFolder(const std::filesystem::path& folder, const std::string& command);

// The whole file, or nullopt when it is missing or empty.
std::optional<std::vector<std::uint8_t>> readFileBytes(const std::filesystem::path& file);

} // namespace salvyn::test
