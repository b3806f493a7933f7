// Numbers read from the texts of the signature lists: decimal prefixes and header hex.
#include "platform/numbertext.h"
#include "signatures/hexconversion.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace salvyn {

TEST(NumberText, ReadsTheLeadingNumberLikeTheListsDo)
{
    EXPECT_EQ(intValue("12abc"), 12);
    EXPECT_EQ(intValue(""), 0);
    EXPECT_EQ(intValue("abc"), 0);
    EXPECT_EQ(intValue("  -7x"), -7);
    EXPECT_EQ(intValue("+5"), 5);
    EXPECT_EQ(intValue("99999999999"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(intValue("-99999999999"), std::numeric_limits<std::int32_t>::min());
}

TEST(NumberText, UnsignedReadingOfSizesAndSectors)
{
    EXPECT_EQ(unsignedLongLongValue("18874368"), 18874368u);
    EXPECT_EQ(unsignedLongLongValue("-1"), 0u);
    EXPECT_EQ(unsignedLongLongValue("18446744073709551615"), std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(unsignedLongLongValue("99999999999999999999999"), std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(longLongValue("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(longLongValue("9223372036854775808"), std::numeric_limits<std::int64_t>::max());
}

TEST(NumberText, FloatsIgnoreTheLocaleAndTrailingText)
{
    EXPECT_FLOAT_EQ(floatValue("8004304896"), 8004304896.0f);
    EXPECT_FLOAT_EQ(floatValue("1.5kg"), 1.5f);
    EXPECT_FLOAT_EQ(floatValue(" .5"), 0.5f);
    EXPECT_FLOAT_EQ(floatValue("1e3"), 1000.0f);
    EXPECT_FLOAT_EQ(floatValue("1e"), 1.0f);
    EXPECT_FLOAT_EQ(floatValue("+2"), 2.0f);
    EXPECT_EQ(floatValue("0x10"), 0.0f);
    EXPECT_EQ(floatValue("inf"), 0.0f);
    EXPECT_EQ(floatValue(""), 0.0f);
}

TEST(HexConversion, HeaderBytesReadWithTheirTolerance)
{
    EXPECT_EQ(hex2int(u"00"), 0);
    EXPECT_EQ(hex2int(u"0A"), 10);
    EXPECT_EQ(hex2int(u"a0"), 160);
    EXPECT_EQ(hex2int(u"FF"), 255);
    EXPECT_EQ(hex2int(u"ff"), 255);
    EXPECT_EQ(hex2int(u"Z9"), 9);
    EXPECT_EQ(hex2int(u"G1"), 1);
    EXPECT_EQ(hex2int(u"1G"), 16);
    EXPECT_EQ(hex2int(u"0x1F"), 31);
    EXPECT_EQ(hex2int(u""), 0);
    EXPECT_EQ(hex2int(u"FFFFFFF"), 0x0FFFFFFF);
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
