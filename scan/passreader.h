#pragma once
// The reading side shared by both kinds of pass: the range taken from the request, the
// medium opened and positioned, sectors read in order with unreadable ones mended, and the
// read-error verdict at the end. Lives on the worker thread for one pass.
#include "scan/headermatcher.h"
#include "scan/scancontext.h"

#include <cstring>
#include <memory>
#include <span>

namespace salvyn {

struct SectorRange {
    std::uint64_t startSector = 0;
    std::uint64_t endSector = 0; // exclusive
};

// Entire disk: 0 to the sector count; sector range: the Start and End texts; neither radio
// (or both): nothing to read.
SectorRange sectorRangeFor(const SearchRequest& request);

// The records a pass works with: the general list for "GEN", the thorough list for "THD",
// none for any other pass name.
const SignatureList& workingListFor(const SearchRequest& request, const std::string& passName);

// True when all 512 bytes are zero. Most sectors that are not blank differ in their first
// bytes: those are looked at first.
inline bool isBlankSector(const std::uint8_t* sector)
{
    const auto word = [sector](std::size_t k) {
        std::uint64_t value;
        std::memcpy(&value, sector + k * 8, 8);
        return value;
    };
    if (word(0) != 0)
        return false;
    std::uint64_t any = 0;
    for (std::size_t k = 1; k < kSectorSize / 8; ++k)
        any |= word(k);
    return any == 0;
}

// How many more sectors a file of `bytes` so far takes before the sector that brings it to
// `limit` bytes, which ends it.
inline std::uint64_t sectorsBeforeLimit(std::uint64_t bytes, std::uint64_t limit)
{
    return bytes + kSectorSize < limit ? (limit - bytes - 1) / kSectorSize : 0;
}

class PassReader {
public:
    explicit PassReader(ScanContext& context);

    // Sets the range and progress, then opens the medium. On failure the search is
    // abandoned: ticker stopped, stop request cleared, final screen marked as taken, the
    // host told; false.
    bool open();

    // Positions the medium at the range start; false when it cannot be, and the pass then
    // ends as after a failed read.
    bool seekToStart();

    bool atEnd() const
    {
        return m_context.state.for_index.load(std::memory_order_relaxed) >= m_context.state.end_sector.load();
    }

    // Reads sector for_index and moves for_index on: its bytes, valid until the next read,
    // or nullptr when it cannot be read; the medium is then put on the next sector, so every
    // later sector keeps its own number.
    const std::uint8_t* readNextSector();

    // Reads up to `maxSectors` of the sectors from for_index on straight into `into`, where
    // the medium allows, without taking them yet; answers how many arrived (0: read one by
    // one). Each is then taken in order with takeReadAhead().
    std::size_t readAhead(std::uint8_t* into, std::size_t maxSectors);
    void takeReadAhead(std::uint64_t count = 1)
    {
        m_lastRead = 1;
        m_context.state.for_index.store(m_context.state.for_index.load(std::memory_order_relaxed) + count,
                                        std::memory_order_relaxed);
    }
    std::uint64_t sectorsLeft() const;

    // Passes over up to `most` sectors the medium knows to be blank, as if each had been read:
    // how many. Replayed reads know; a real medium is always read.
    std::uint64_t skipBlankSectors(std::uint64_t most);
    // How many sectors ahead the medium knows to start no file of the pass's list, when
    // nothing else needs to see them one by one (no recording is fed).
    std::uint64_t unmatchedSectorsAhead() const;

    // Takes the sectors read ahead into `sectors` (`count` of them, from for_index on) up to
    // the first one that starts a file of `matcher`: the recordings are handed them and
    // for_index moves on. Answers how many were taken.
    std::size_t takeUnmatchedReadAhead(const HeaderMatcher& matcher, const std::uint8_t* sectors, std::size_t count);
    // The same for the sectors the medium holds at hand, up to `most`: answers the bytes of
    // those taken, valid until the next read.
    std::span<const std::uint8_t> takeUnmatchedAtHand(const HeaderMatcher& matcher, std::uint64_t most);

    // Hands the sector just taken (nullptr: unreadable) to the context's recordings.
    void share(const std::uint8_t* sector);

    // An empty working list counts as a good end for the video, raw and audio passes.
    void markLastReadGood() { m_lastRead = 1; }

    void close() { m_stream.reset(); }

    // Normal end: the read-error alert once when any read failed or the last read failed
    // (or nothing was read); true when the last read succeeded.
    bool finish();

private:
    void shareTaken(const std::uint8_t* sectors, std::size_t count);

    ScanContext& m_context;
    std::unique_ptr<SectorStream> m_stream;
    std::uint8_t m_spare[kSectorSize] = {};
    std::size_t m_lastRead = 0;
    std::uint64_t m_failedReads = 0;
};

} // namespace salvyn
