#include "scan/headermatcher.h"

#include "scantestsupport.h"

#include <gtest/gtest.h>

namespace salvyn {
namespace {

using test::hexBytes;
using test::record;

using Sector = std::array<std::uint8_t, kSectorSize>;

Sector sectorWith(std::size_t offset, const std::string& hex, std::uint8_t background = 0x11)
{
    Sector sector;
    sector.fill(background);
    const auto bytes = hexBytes(hex);
    std::copy(bytes.begin(), bytes.end(), sector.begin() + static_cast<std::ptrdiff_t>(offset));
    return sector;
}

bool matches(const SignatureList& oneRecord, const Sector& sector)
{
    return HeaderMatcher(oneRecord).firstMatch(sector.data()) == 0;
}

TEST(HeaderMatcher, WalkResumesAtTheByteThatDifferedAndStopsAtTheFirstNonCandidate)
{
    const SignatureList pack = record("MPG", "1", "000001BA", "nn");
    EXPECT_FALSE(matches(pack, sectorWith(0, "000000000001BA")));  // the header at byte 3 is walked over
    EXPECT_TRUE(matches(pack, sectorWith(0, "00000000000001BA")));
    EXPECT_TRUE(matches(pack, sectorWith(0, "000001BA")));
    EXPECT_TRUE(matches(pack, sectorWith(0, "0000000001BA")));   // partial match of two, resumed at byte 2
    EXPECT_FALSE(matches(pack, sectorWith(100, "000001BA")));    // byte 0 is no candidate
    EXPECT_TRUE(matches(record("X", "1", "AB", "nn"), sectorWith(0, "ABAB")));
}

TEST(HeaderMatcher, NumberedPositionsUpTo507AreTried)
{
    EXPECT_TRUE(matches(record("X", "1", "ABCD", "507"), sectorWith(506, "ABCD")));
    EXPECT_FALSE(matches(record("X", "1", "AB", "508"), sectorWith(507, "AB")));
    EXPECT_TRUE(matches(record("X", "1", "ABCDEF", "507"), sectorWith(506, "ABCDEF")));   // ends on byte 511
    EXPECT_FALSE(matches(record("X", "1", "ABCDEF00", "507"), sectorWith(506, "ABCDEF"))); // would run past it
    EXPECT_FALSE(matches(record("X", "1", "11", "513"), sectorWith(0, "")));               // never read past the sector
    EXPECT_FALSE(matches(record("X", "1", "11", "100000"), sectorWith(0, "")));
    EXPECT_TRUE(matches(record("X", "1", "6674", "5"), sectorWith(4, "6674")));
    EXPECT_FALSE(matches(record("X", "1", "6674", "5"), sectorWith(5, "6674")));
}

TEST(HeaderMatcher, RecordsThatCanNeverMatch)
{
    const Sector sector = sectorWith(0, "FFD8FF");
    EXPECT_FALSE(matches(record("X", "1", "", "1"), sector));
    EXPECT_FALSE(matches(record("X", "1", "F", "1"), sector)); // one character is no byte
    EXPECT_FALSE(matches(record("X", "1", "FFD8", "0"), sector));
    EXPECT_FALSE(matches(record("X", "1", "FFD8", "-1"), sector));
    EXPECT_FALSE(matches(record("X", "1", "FFD8", "first"), sector));
    // Entry 6 decides the first byte: a record whose entry 6 disagrees with its header never matches.
    SignatureList wrongFirst = record("X", "1", "FFD8", "1");
    wrongFirst[6] = "216";
    EXPECT_FALSE(matches(wrongFirst, sector));
    EXPECT_TRUE(matches(record("X", "1", "FFD8F", "1"), sector)); // an odd last character is ignored
    EXPECT_TRUE(matches(record("X", "1", "ffd8", "01"), sector));
}

TEST(HeaderMatcher, FirstMatchingRecordInListOrderWins)
{
    const SignatureList list = test::concat({record("PNG", "1", "89504E47", "1"), record("JP2", "1", "D8FF", "2"),
                                             record("JPG", "1", "FFD8FF", "1"), record("JPX", "1", "FFD8", "1")});
    const HeaderMatcher matcher(list);
    EXPECT_EQ(matcher.firstMatch(sectorWith(0, "FFD8FFE0").data()), 1u);
    EXPECT_EQ(matcher.firstMatch(sectorWith(0, "FFD8").data()), 3u);
    EXPECT_EQ(matcher.firstMatch(sectorWith(0, "89504E47").data()), 0u);
    EXPECT_EQ(matcher.firstMatch(sectorWith(0, "0102").data()), HeaderMatcher::kNoMatch);
    EXPECT_EQ(matcher.record(2).type, "JPG");
    EXPECT_EQ(matcher.record(2).maximumSize, 1u);
}

} // namespace
} // namespace salvyn
