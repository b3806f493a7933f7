#pragma once
// The benchmark's disk image: random data with blank stretches and a few hundred headers of
// the shipped signature lists at the first bytes of sectors. Made once, then reused.
#include "signatures/signaturelist.h"

#include <cstdint>
#include <filesystem>

namespace salvyn {

inline constexpr std::uint64_t kBenchImageBytes = 2ull << 30; // 2 GiB

// Makes the image at `path` unless a file of the right size is there already.
// Answers the number of headers laid in (0 when the image was reused).
std::uint64_t makeBenchImage(const std::filesystem::path& path, const SignatureLists& lists);

} // namespace salvyn
