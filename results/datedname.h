#pragma once
// Saving photos and videos under the date they were taken: "2024-06-01 10-15-32.jpg". A
// name already taken in the folder gives way as every saved name does ("... 10-15-32-2.jpg").
#include "results/capturedetails.h"

#include <string>

namespace salvyn {

// The name for a file found as `foundName` and taken at `taken`; the found name's
// extension, in small letters, stays.
std::string datedFileName(const CaptureTime& taken, const std::string& foundName);

} // namespace salvyn
