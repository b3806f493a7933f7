// Numbers read from the texts of the signature lists: decimal prefixes and header hex, with
// every tolerance the lists rely on.
#include "platform/numbertext.h"
#include "signatures/hexconversion.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace salvyn {

TEST(NumberText, LeadingNumbersSaturateAndIgnoreTrailingText)
{
    constexpr auto i32 = std::numeric_limits<std::int32_t>::max(), i32min = std::numeric_limits<std::int32_t>::min();
    const std::pair<const char*, std::int32_t> ints[] = {
        {"12abc", 12}, {"", 0}, {"abc", 0}, {"  -7x", -7}, {"+5", 5}, {"+-5", 0}, {"99999999999", i32}, {"-99999999999", i32min}};
    for (const auto& [text, value] : ints)
        EXPECT_EQ(intValue(text), value) << text;
    constexpr auto u64 = std::numeric_limits<std::uint64_t>::max();
    const std::pair<const char*, std::uint64_t> sizes[] = {
        {"18874368", 18874368u}, {"-1", 0u}, {"18446744073709551615", u64}, {"99999999999999999999999", u64}};
    for (const auto& [text, value] : sizes)
        EXPECT_EQ(unsignedLongLongValue(text), value) << text;
    EXPECT_EQ(longLongValue("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(longLongValue("9223372036854775808"), std::numeric_limits<std::int64_t>::max());
}

TEST(NumberText, FloatsReadOnlyPlainDecimalsWhateverTheLocale)
{
    const std::pair<const char*, float> cases[] = {
        {"8004304896", 8004304896.0f}, {"1.5kg", 1.5f}, {" .5", 0.5f}, {"-.5", -0.5f}, {"1e3", 1000.0f},
        {"1e", 1.0f}, {"+2", 2.0f}, {"0x10", 0.0f}, {"inf", 0.0f}, {"+-2", 0.0f}, {".", 0.0f}, {"", 0.0f}};
    for (const auto& [text, value] : cases)
        EXPECT_FLOAT_EQ(floatValue(text), value) << text;
}

TEST(HexConversion, HeaderTextReadWithItsTolerances)
{
    const std::pair<std::u16string, std::int32_t> cases[] = {
        {u"00", 0}, {u"0A", 10}, {u"a0", 160}, {u"FF", 255}, {u"ff", 255}, {u"", 0},
        // A non-digit counts as 0 and keeps its place.
        {u"Z9", 9}, {u"G1", 1}, {u"1G", 16}, {u"0x1F", 31},
        // Only a unit's low eight bits count: U+0141 reads as A, U+0130 as 0.
        {u"\u0141", 10}, {u"\u0130" u"1", 1},
        // Long texts wrap around in 32 bits, never undefined.
        {u"FFFFFFF", 0x0FFFFFFF}, {u"7FFFFFFF", 0x7FFFFFFF}, {u"FFFFFFFF", -1}, {u"1FFFFFFFF", -1},
        {std::u16string(10000, u'F'), -1}};
    for (std::size_t row = 0; row < std::size(cases); ++row)
        EXPECT_EQ(hex2int(cases[row].first), cases[row].second) << "row " << row;
    EXPECT_EQ(hex2int("\xC5\x81" "1"), 161); // UTF-8 "Ł1": one unit, then '1'
}

TEST(HexConversion, FindStrIsLiteralAndRejectsEmptyPatterns)
{
    EXPECT_TRUE(Find_Str(u"FFD8FFE0", u"FFD8"));
    EXPECT_FALSE(Find_Str(u"FFD8", u"FFD8FFE0"));
    EXPECT_FALSE(Find_Str(u"FFD8", u""));
    EXPECT_FALSE(Find_Str(u"", u""));
    EXPECT_FALSE(Find_Str(u"ffd8", u"FFD8"));
    EXPECT_TRUE(Find_Str("0FFD8F", "FD8")); // at an odd nibble too
}

TEST(HexConversion, Utf16OfBrokenUtf8IsReplacementCharacters)
{
    EXPECT_EQ(toUtf16("a\xFF" "b"), u"a\uFFFD" u"b");
    EXPECT_EQ(toUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
    EXPECT_EQ(toUtf16("\xC0\x80"), u"\uFFFD"); // overlong NUL
}

} // namespace salvyn
