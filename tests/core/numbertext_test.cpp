#include "platform/numbertext.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

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

} // namespace salvyn
