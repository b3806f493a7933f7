#include "signatures/hexconversion.h"

#include <charconv>

namespace salvyn {

std::int32_t hex2dec(std::u16string_view text)
{
    if (text.empty())
        return 0;
    const char low[] = {static_cast<char>(text.front() & 0xFF), '\0'};
    std::int32_t value = 0; // stays 0 for anything that is no hexadecimal digit
    std::from_chars(low, low + 1, value, 16);
    return value;
}

std::int32_t hex2int(std::u16string_view text)
{
    // The weight is 16^(L-i-1) truncated to 32 bits, accumulated with 32-bit wrap-around:
    // exact up to 7 digits, defined (never undefined behaviour) beyond.
    std::uint32_t result = 0;
    const std::size_t length = text.size();
    for (std::size_t i = length; i-- > 0;) {
        const std::size_t power = length - i - 1;
        const std::uint32_t weight = power < 8 ? (std::uint32_t{1} << (4 * power)) : 0;
        result += static_cast<std::uint32_t>(hex2dec(text.substr(i, 1))) * weight;
    }
    return static_cast<std::int32_t>(result);
}

std::int32_t hex2int(std::string_view utf8Text)
{
    return hex2int(std::u16string_view(toUtf16(utf8Text)));
}

bool Find_Str(std::u16string_view text, std::u16string_view pattern)
{
    return !pattern.empty() && text.find(pattern) != std::u16string_view::npos;
}

bool Find_Str(std::string_view utf8Text, std::string_view utf8Pattern)
{
    // Valid UTF-8 texts contain one another exactly when their 16-bit forms do.
    return Find_Str(std::u16string_view(toUtf16(utf8Text)), std::u16string_view(toUtf16(utf8Pattern)));
}

std::u16string toUtf16(std::string_view utf8Text)
{
    std::u16string out;
    out.reserve(utf8Text.size());
    const auto* p = reinterpret_cast<const unsigned char*>(utf8Text.data());
    const auto* end = p + utf8Text.size();
    while (p < end) {
        char32_t cp = 0xFFFD;
        int extra = 0;
        char32_t min = 0;
        if (*p < 0x80) { cp = *p; }
        else if ((*p & 0xE0) == 0xC0) { cp = *p & 0x1F; extra = 1; min = 0x80; }
        else if ((*p & 0xF0) == 0xE0) { cp = *p & 0x0F; extra = 2; min = 0x800; }
        else if ((*p & 0xF8) == 0xF0) { cp = *p & 0x07; extra = 3; min = 0x10000; }
        else { extra = -1; }
        ++p;
        if (extra < 0) { out.push_back(0xFFFD); continue; }
        bool ok = true;
        for (int k = 0; k < extra; ++k) {
            if (p >= end || (*p & 0xC0) != 0x80) { ok = false; break; }
            cp = (cp << 6) | (*p++ & 0x3F);
        }
        if (!ok || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(0xFFFD);
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

} // namespace salvyn
