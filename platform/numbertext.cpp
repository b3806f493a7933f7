#include "platform/numbertext.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>

namespace salvyn {
namespace {

bool isBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

struct SignedDigits {
    bool negative = false;
    std::string_view digits;
};

// Leading blanks, an optional sign, then the digits up to the first other character.
SignedDigits leadingNumber(std::string_view text)
{
    text.remove_prefix(std::find_if_not(text.begin(), text.end(), isBlank) - text.begin());
    SignedDigits out;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        out.negative = text[0] == '-';
        text.remove_prefix(1);
    }
    out.digits = text.substr(0, static_cast<std::size_t>(std::find_if_not(text.begin(), text.end(), isDigit) - text.begin()));
    return out;
}

// Magnitude of the digits, saturated at limit; no digits give 0.
std::uint64_t magnitude(std::string_view digits, std::uint64_t limit)
{
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return error == std::errc::result_out_of_range || value > limit ? limit : value;
}

} // namespace

std::int64_t longLongValue(std::string_view text)
{
    const auto n = leadingNumber(text);
    constexpr auto max = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (n.negative) {
        const std::uint64_t m = magnitude(n.digits, max + 1);
        return m == max + 1 ? std::numeric_limits<std::int64_t>::min() : -static_cast<std::int64_t>(m);
    }
    return static_cast<std::int64_t>(magnitude(n.digits, max));
}

std::int32_t intValue(std::string_view text)
{
    const std::int64_t v = longLongValue(text);
    if (v > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

std::uint64_t unsignedLongLongValue(std::string_view text)
{
    const auto n = leadingNumber(text);
    if (n.negative)
        return 0;
    return magnitude(n.digits, std::numeric_limits<std::uint64_t>::max());
}

double doubleValue(std::string_view text)
{
    // Only a plain decimal number counts: hex, "inf" and "nan" never mean a size or a sector.
    text.remove_prefix(std::find_if_not(text.begin(), text.end(), isBlank) - text.begin());
    const std::string_view unsignedPart = text.substr(!text.empty() && (text[0] == '+' || text[0] == '-'));
    const bool decimal = !unsignedPart.empty()
        && (isDigit(unsignedPart[0]) || (unsignedPart[0] == '.' && unsignedPart.size() > 1 && isDigit(unsignedPart[1])));
    if (!decimal)
        return 0.0;
    if (text[0] == '+')
        text.remove_prefix(1);
    // from_chars ignores the process locale (a Qt program sets it from the desktop).
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range)
        return text[0] == '-' ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    return value;
}

float floatValue(std::string_view text)
{
    return static_cast<float>(doubleValue(text));
}

} // namespace salvyn
