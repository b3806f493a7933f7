#include "scan/headermatcher.h"

#include "platform/numbertext.h"
#include "scantestsupport.h"

#include <gtest/gtest.h>

#include <random>

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

// The header test as the lists have always been read: record after record in list order,
// every header byte converted from its two characters at each comparison.
std::size_t referenceFirstMatch(const SignatureList& list, const Sector& sector)
{
    for (std::size_t r = 0; r < recordCount(list); ++r) {
        const std::string& header = recordEntry(list, r, 2);
        const std::string& position = recordEntry(list, r, 3);
        const std::int32_t first = intValue(recordEntry(list, r, 6));
        const long length = static_cast<long>(header.size() / 2);
        const bool anywhere = position == "nn", numbered = position != "1" && !anywhere;
        long pos = numbered ? static_cast<long>(intValue(position)) - 1 : 0;
        const long limit = anywhere ? 512 : pos + length;
        while (pos >= 0 && pos < limit && pos < 512 && sector[static_cast<std::size_t>(pos)] == first
               && !(numbered && pos > 506)) {
            long k = 0;
            const auto headerByte = [&] { return hex2int(header.substr(static_cast<std::size_t>(2 * k), 2)); };
            for (; k < length && pos < 512 && sector[static_cast<std::size_t>(pos)] == headerByte(); ++k)
                ++pos;
            if (length > 0 && k == length)
                return r;
            pos -= k > 0 ? 1 : 0; // with the step below, a partial match resumes at the byte that differed
            if (!anywhere)
                break;
            ++pos;
        }
    }
    return HeaderMatcher::kNoMatch;
}

TEST(HeaderMatcher, IndexedMatchingAgreesWithTheListOrderWalk)
{
    std::mt19937 random(20261206);
    const auto pick = [&](int below) { return static_cast<int>(random() % static_cast<unsigned>(below)); };
    const char* const alphabet[] = {"00", "01", "FF", "D8", "BA", "47", "11"};
    std::size_t matchesSeen = 0;
    for (int round = 0; round < 40; ++round) {
        SignatureList list;
        std::vector<std::vector<std::uint8_t>> headers;
        std::vector<int> offsets;
        for (int r = 0, records = 1 + pick(30); r < records; ++r) {
            std::string hex;
            for (int k = 0, length = pick(7); k < length; ++k)
                hex += alphabet[pick(7)];
            if (pick(6) == 0)
                hex += "F"; // odd length
            const int kind = pick(4);
            // Numbered positions: anywhere, or close to the end of the sector.
            const std::string position = kind == 0   ? "1"
                                         : kind == 1 ? "nn"
                                         : kind == 2 ? std::to_string(pick(515) - 2)
                                                     : std::to_string(500 + pick(16));
            SignatureList one = record("T" + std::to_string(r), "1", hex, position);
            if (pick(10) == 0)
                one[6] = std::to_string(pick(300) - 20);
            list.insert(list.end(), one.begin(), one.end());
            headers.push_back(hexBytes(hex));
            offsets.push_back(kind == 2 || kind == 3 ? std::max(0, intValue(position) - 1) : pick(4));
        }
        const HeaderMatcher matcher(list);
        for (int s = 0; s < 500; ++s) {
            Sector sector;
            for (auto& byte : sector)
                byte = static_cast<std::uint8_t>(std::stoi(alphabet[pick(7)], nullptr, 16));
            // Seed a few headers, some of them cut short or repeated in a run.
            for (int seeds = pick(4); seeds > 0; --seeds) {
                const std::size_t r = static_cast<std::size_t>(pick(static_cast<int>(headers.size())));
                const std::size_t at = static_cast<std::size_t>(offsets[r]);
                const std::size_t length = headers[r].size() - (!headers[r].empty() && pick(3) == 0 ? 1 : 0);
                for (std::size_t k = 0; k < length && at + k < kSectorSize; ++k)
                    sector[at + k] = headers[r][k];
            }
            const std::size_t expected = referenceFirstMatch(list, sector);
            ASSERT_EQ(matcher.firstMatch(sector.data()), expected) << "round " << round << " sector " << s;
            matchesSeen += expected != HeaderMatcher::kNoMatch;
        }
    }
    EXPECT_GT(matchesSeen, 2000u); // the seeding really produced matches to compare
}

} // namespace
} // namespace salvyn
