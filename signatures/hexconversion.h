#pragma once
// Hexadecimal text conversion and literal text search, through which every header
// byte of the signature lists is read. Texts are 16-bit character units, so lengths and
// positions count the same units as the lists' own texts. Pure functions, any thread.
#include <cstdint>
#include <string>
#include <string_view>

namespace salvyn {

// Value of the text's first unit as one hexadecimal digit. Only the unit's low 8 bits
// count (U+0141 reads as 'A'); anything that is not 1-9, A-F or a-f gives 0.
// An empty text gives 0.
std::int32_t hex2dec(std::u16string_view text);

// Value of the whole text as a hexadecimal number. A non-digit counts as 0 but keeps its
// place ("G1" is 1, "1G" is 16); "" is 0. Texts over 7 units wrap around in 32 bits.
std::int32_t hex2int(std::u16string_view text);
std::int32_t hex2int(std::string_view utf8Text);

// True when pattern occurs in text (literal, case-sensitive). An empty pattern never occurs.
bool Find_Str(std::u16string_view text, std::u16string_view pattern);
bool Find_Str(std::string_view utf8Text, std::string_view utf8Pattern);

// UTF-8 to 16-bit units; invalid sequences become U+FFFD.
std::u16string toUtf16(std::string_view utf8Text);

} // namespace salvyn
