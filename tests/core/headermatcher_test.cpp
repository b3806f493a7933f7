#include "scan/headermatcher.h"

#include "scantestsupport.h"

#include <gtest/gtest.h>

namespace salvyn {
namespace {

using namespace test;

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

// One record's header and position against a sector holding `bytes` at `offset`.
TEST(HeaderMatcher, OneRecordMatchesWhereItsPositionSays)
{
    struct Case { const char *header, *position; std::size_t offset; const char* bytes; bool matches; };
    const Case cases[] = {
        // "nn": the walk resumes at the byte that differed and stops at the first non-candidate.
        {"000001BA", "nn", 0, "000000000001BA", false}, // the header at byte 3 is walked over
        {"000001BA", "nn", 0, "00000000000001BA", true},
        {"000001BA", "nn", 0, "000001BA", true},
        {"000001BA", "nn", 0, "0000000001BA", true},    // partial match of two, resumed at byte 2
        {"000001BA", "nn", 100, "000001BA", false},     // byte 0 is no candidate
        {"AB", "nn", 0, "ABAB", true},
        // Numbered positions up to 507 are tried.
        {"ABCD", "507", 506, "ABCD", true},
        {"AB", "508", 507, "AB", false},
        {"ABCDEF", "507", 506, "ABCDEF", true},         // ends on byte 511
        {"ABCDEF00", "507", 506, "ABCDEF", false},      // would run past it
        {"11", "513", 0, "", false},                    // never read past the sector
        {"11", "100000", 0, "", false},
        {"6674", "5", 4, "6674", true},
        {"6674", "5", 5, "6674", false},
        // Records that can never match; an odd last character is ignored.
        {"", "1", 0, "FFD8FF", false},
        {"F", "1", 0, "FFD8FF", false},                 // one character is no byte
        {"FFD8", "0", 0, "FFD8FF", false},
        {"FFD8", "-1", 0, "FFD8FF", false},
        {"FFD8", "first", 0, "FFD8FF", false},
        {"FFD8F", "1", 0, "FFD8FF", true},
        {"ffd8", "01", 0, "FFD8FF", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(matches(record("X", "1", c.header, c.position), sectorWith(c.offset, c.bytes)), c.matches)
            << c.header << " at " << c.position << " against " << c.bytes << " at " << c.offset;
    // Entry 6 decides the first byte: a record whose entry 6 disagrees with its header never matches.
    SignatureList wrongFirst = record("X", "1", "FFD8", "1");
    wrongFirst[6] = "216";
    EXPECT_FALSE(matches(wrongFirst, sectorWith(0, "FFD8FF")));
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
