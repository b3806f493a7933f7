#include "platform/numbertext.h"

#include <cctype>
#include <charconv>
#include <limits>

namespace salvyn {
namespace {

struct SignedDigits {
    bool negative = false;
    std::string_view digits;
};

SignedDigits leadingNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    SignedDigits out;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        out.negative = text[i++] == '-';
    const std::size_t first = i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
        ++i;
    out.digits = text.substr(first, i - first);
    return out;
}

// Magnitude of the digits, saturated at limit.
std::uint64_t magnitude(std::string_view digits, std::uint64_t limit)
{
    std::uint64_t value = 0;
    for (char c : digits) {
        const auto d = static_cast<std::uint64_t>(c - '0');
        if (value > (limit - d) / 10)
            return limit;
        value = value * 10 + d;
    }
    return value;
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
    // Only a plain decimal prefix counts: hex, "inf" and "nan" never mean a size or a sector.
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    const std::size_t begin = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) { ++i; ++digits; }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) { ++i; ++digits; }
    }
    if (digits == 0)
        return 0.0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) {
            while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j])))
                ++j;
            i = j;
        }
    }
    // from_chars ignores the process locale (a Qt program sets it from the desktop).
    std::string_view number = text.substr(begin, i - begin);
    if (!number.empty() && number.front() == '+')
        number.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc::result_out_of_range)
        return number.front() == '-' ? -std::numeric_limits<double>::infinity()
                                     : std::numeric_limits<double>::infinity();
    return value;
}

float floatValue(std::string_view text)
{
    return static_cast<float>(doubleValue(text));
}

} // namespace salvyn
