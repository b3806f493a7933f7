#pragma once
// When and with what a photo or video was taken, read from the found file's own bytes:
// the EXIF of JPEG and TIFF-based photos (the original date, else the file's date; make
// and model), and the movie header and user data of ISO media videos (creation time;
// make and model). Only what the file carries: a file without them answers nothing. Any
// thread, one reader per call.
#include "results/bytereader.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace salvyn {

struct CaptureTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    auto operator<=>(const CaptureTime&) const = default;
};

struct CaptureDetails {
    std::optional<CaptureTime> taken;
    std::string camera; // "Make Model", or either alone; empty when not said
};

// The details of the found file of `type` that holds `length` bytes from `firstByte` on.
CaptureDetails captureDetailsOf(ByteReader& medium, std::string_view type, std::uint64_t firstByte,
                                std::uint64_t length);

// "2024-06-01 10:15:32".
std::string captureTimeText(const CaptureTime& time);

} // namespace salvyn
