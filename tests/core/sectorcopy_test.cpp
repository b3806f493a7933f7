#include "results/sectorcopy.h"

#include "results/recentsectors.h"
#include "results/sectorbytereader.h"

#include "doubles/faultysectorsource.h"
#include "doubles/memorysectorsource.h"
#include "scantestsupport.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace salvyn {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Taken {
    std::vector<std::size_t> pieceSizes;
    Bytes bytes;
    SectorCopyTake take()
    {
        return [this](std::span<const std::uint8_t> piece) {
            pieceSizes.push_back(piece.size());
            bytes.insert(bytes.end(), piece.begin(), piece.end());
            return true;
        };
    }
};

const SectorCopyKeepGoing always = [] { return true; };

class SectorCopyTest : public ::testing::Test {
protected:
    SectorCopyTest() { memory.addImage("card", medium.fill(0, 10).bytes()); }
    test::DiskImage medium{10}; // every sector different, so a sector out of place shows
    MemorySectorOpener memory;
};

TEST_F(SectorCopyTest, PiecesHoldWholeSectorsAndTheLastIsCutToTheByteCount)
{
    auto stream = memory.open("card").stream;
    ASSERT_TRUE(stream->seekToSector(2));
    Taken taken;
    const SectorCopyEnd end = copySectors(*stream, {2, 5 * kSectorSize + 100, true, 2}, always, taken.take());

    EXPECT_EQ(taken.pieceSizes, (std::vector<std::size_t>{1024, 1024, 612}));
    Bytes expected = medium.sectors(2, 8);
    expected.resize(5 * kSectorSize + 100);
    EXPECT_EQ(taken.bytes, expected);
    EXPECT_EQ(std::pair(end.unreadableSectors, end.stopped), std::pair(std::uint64_t{0}, false));
}

TEST_F(SectorCopyTest, UnreadableAndUnreachableSectorsBecomeZerosInPlace)
{
    // The caller could not put the medium on sector 3; 4 cannot be read; 5 cannot be sought.
    FaultySectorOpener faulty(memory, {{4}, {3, 5}});
    auto stream = faulty.open("card").stream;
    Taken taken;
    const SectorCopyEnd end =
        copySectors(*stream, {3, 5 * kSectorSize, stream->seekToSector(3), 4}, always, taken.take());

    Bytes expected(3 * kSectorSize, 0);
    const Bytes readable = medium.sectors(6, 8);
    expected.insert(expected.end(), readable.begin(), readable.end());
    EXPECT_EQ(taken.bytes, expected);
    EXPECT_EQ(end.unreadableSectors, 3u);
}

TEST_F(SectorCopyTest, KeepGoingIsAskedBeforeEachPieceAndTakeCanEndTheCopy)
{
    auto stream = memory.open("card").stream;
    int asked = 0;
    Taken stopped;
    const SectorCopyEnd byStop =
        copySectors(*stream, {0, 6 * kSectorSize, true, 1}, [&] { return ++asked <= 2; }, stopped.take());
    EXPECT_EQ(std::pair(byStop.stopped, asked), std::pair(true, 3));
    EXPECT_EQ(stopped.bytes, medium.sectors(0, 2));

    // The next copy goes on where the stop left the medium: sector 2.
    int pieces = 0;
    const SectorCopyEnd byTake = copySectors(*stream, {2, 6 * kSectorSize, true, 3}, always,
                                             [&](std::span<const std::uint8_t> piece) {
                                                 EXPECT_EQ(Bytes(piece.begin(), piece.end()), medium.sectors(2, 5));
                                                 return ++pieces < 1;
                                             });
    EXPECT_FALSE(byTake.stopped);
    EXPECT_EQ(pieces, 1);
}

// Bytes at any offset, whole sectors straight into place where they can be, up to the first
// sector that cannot be read (7).
TEST_F(SectorCopyTest, ByteReadsAtAnyOffsetStopAtTheFirstUnreadableSector)
{
    FaultySectorOpener faulty(memory, {{7}, {}});
    auto stream = faulty.open("card").stream;
    SectorByteReader reader(*stream);
    const Bytes all = medium.sectors(0, 10);
    const struct {
        std::uint64_t offset;
        std::size_t size, answered;
    } rows[] = {{0, 3 * kSectorSize, 3 * kSectorSize},
                {100, 3 * kSectorSize, 3 * kSectorSize},
                {kSectorSize, 2 * kSectorSize + 7, 2 * kSectorSize + 7},
                {5 * kSectorSize + 3, 4 * kSectorSize, 2 * kSectorSize - 3}};
    for (const auto& row : rows) {
        Bytes out(row.size, 0xEE);
        ASSERT_EQ(reader.readAt(row.offset, out.data(), row.size), row.answered) << row.offset;
        out.resize(row.answered);
        EXPECT_EQ(out, Bytes(all.begin() + static_cast<std::ptrdiff_t>(row.offset),
                             all.begin() + static_cast<std::ptrdiff_t>(row.offset + row.answered)))
            << row.offset;
    }
}

// A walk and then two copies through the recent sectors read each sector of the medium once
// and hand on the same bytes as the medium itself; the unreadable one (6) is asked for once
// a copy, and the end of the medium (10) is met once.
TEST_F(SectorCopyTest, RecentSectorsAreReadFromTheMediumOnce)
{
    std::map<std::uint64_t, int> reads;
    FaultySectorOpener faulty(memory, {{6}, {}, [&](std::uint64_t sector) { ++reads[sector]; }});
    auto stream = faulty.open("card").stream;
    RecentSectorsStream recent(*stream);
    SectorByteReader reader(recent);
    Bytes walked(700);
    ASSERT_EQ(reader.readAt(2 * kSectorSize + 10, walked.data(), walked.size()), walked.size());
    EXPECT_EQ(walked, Bytes(medium.bytes().begin() + 2 * kSectorSize + 10, medium.bytes().begin() + 2 * kSectorSize + 710));
    Bytes expected = medium.sectors(1, 9);
    std::fill_n(expected.begin() + 5 * kSectorSize, kSectorSize, 0);
    for (int copy = 0; copy < 2; ++copy) {
        Taken taken;
        const SectorCopyEnd end = copySectors(recent, {1, 8 * kSectorSize, recent.seekToSector(1), 4}, always, taken.take());
        EXPECT_EQ(taken.bytes, expected) << copy;
        EXPECT_EQ(end.unreadableSectors, 1u) << copy;
    }
    EXPECT_EQ(reads, (std::map<std::uint64_t, int>{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 2}, {7, 1}, {8, 1}, {9, 1}, {10, 1}}));
}

TEST_F(SectorCopyTest, NothingToCopyReadsNothing)
{
    FaultySectorOpener faulty(memory, {{0}, {}});
    auto stream = faulty.open("card").stream;
    Taken taken;
    const SectorCopyEnd end = copySectors(*stream, {0, 0, true, 4}, [] { return false; }, taken.take());
    EXPECT_TRUE(taken.pieceSizes.empty());
    EXPECT_EQ(std::pair(end.unreadableSectors, end.stopped), std::pair(std::uint64_t{0}, false));
}

} // namespace
} // namespace salvyn
