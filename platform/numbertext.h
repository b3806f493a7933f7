#pragma once
// Numbers read from texts the way the lists and fields have always been read: leading
// white space, an optional sign, then the longest run of digits; anything after it is
// ignored ("12abc" is 12), no digits give 0, and values out of range saturate.
#include <cstdint>
#include <string_view>

namespace salvyn {

std::int32_t intValue(std::string_view text);
std::int64_t longLongValue(std::string_view text);
// Unsigned 64-bit reading: a negative text gives 0 ("-1" is 0).
std::uint64_t unsignedLongLongValue(std::string_view text);
// Single precision, as a decimal number with optional fraction and exponent ("1e3", ".5").
float floatValue(std::string_view text);
double doubleValue(std::string_view text);

} // namespace salvyn
