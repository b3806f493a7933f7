#pragma once
// One found file's bytes as a format end sees them: offsets count from the file's first
// byte and nothing at or past the limit is ever read, whatever a hostile size field
// says. A window of the medium is kept so that walking small headers and scanning
// compressed data cost few reads. One thread at a time.
#include "results/bytereader.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

namespace salvyn {

class FormatEndReader {
public:
    // `scanLimitBytes` bounds searches for a mark (find): past it lies the next file found,
    // whose own marks would answer. Walks that jump by sizes may go up to `limitBytes`.
    FormatEndReader(ByteReader& medium, std::uint64_t firstByte, std::uint64_t limitBytes,
                    std::uint64_t scanLimitBytes = UINT64_MAX);

    std::uint64_t limit() const { return m_limit; }

    // The answer of a walk whose file plainly starts as its format says but does not record
    // where it ends (a size a streaming writer could not go back to fill in): unknown, but a
    // real start all the same.
    std::nullopt_t startWithoutEnd()
    {
        m_startWithoutEnd = true;
        return std::nullopt;
    }
    // Whether the walk took the file's start for real: it said so, or it followed the
    // structure past the first sector before it gave up. The place where it gave up does not
    // count: a header matched by chance leads to random bytes after one jump, and the walk
    // looks there once and stops.
    bool tookForRealStart() const { return m_startWithoutEnd || m_furthestFollowed > 512; }

    // True when all `size` bytes at `offset` lie below the limit and could be read.
    bool read(std::uint64_t offset, void* out, std::size_t size);
    // Reads up to `size` bytes at `offset`, stopping at the limit or where the medium
    // cannot be read; answers how many were read.
    std::size_t readUpTo(std::uint64_t offset, void* out, std::size_t size);
    std::optional<std::uint8_t> byteAt(std::uint64_t offset);
    std::optional<std::uint16_t> be16(std::uint64_t offset);
    std::optional<std::uint32_t> be24(std::uint64_t offset);
    std::optional<std::uint32_t> be32(std::uint64_t offset);
    std::optional<std::uint64_t> be64(std::uint64_t offset);
    std::optional<std::uint16_t> le16(std::uint64_t offset);
    std::optional<std::uint32_t> le32(std::uint64_t offset);
    std::optional<std::uint64_t> le64(std::uint64_t offset);
    // True when the bytes at `offset` are exactly `text`.
    bool matches(std::uint64_t offset, std::string_view text);

    // First offset at or after `from` where `pattern` begins and ends below the limit, the
    // scan limit and at or before `until`; none when the pattern is not there or the medium
    // cannot be read before it.
    std::optional<std::uint64_t> find(std::uint64_t from, std::string_view pattern,
                                      std::uint64_t until = std::numeric_limits<std::uint64_t>::max());

    // `length` itself when it is a whole file that fits the limit and whose last byte
    // can be read; a format end answers through this so a size pointing past the
    // medium or the limit gives "unknown".
    std::optional<std::uint64_t> endIfReadable(std::uint64_t length);

private:
    // Makes the window hold `size` bytes at `offset` (both checked against the limit).
    bool load(std::uint64_t offset, std::size_t size);
    std::optional<std::uint64_t> unsignedAt(std::uint64_t offset, std::size_t size, bool bigEndian);
    // Notes bytes [offset, end) as read: near the last place read they are more of that place
    // (the fields of one header); further on, the walk has gone on from it to a new place.
    void noteRead(std::uint64_t offset, std::uint64_t end);

    ByteReader& m_medium;
    std::uint64_t m_firstByte;
    std::uint64_t m_limit;
    std::uint64_t m_scanLimit;
    std::uint64_t m_furthestFollowed = 0; // the furthest end of the places the walk went on from
    std::uint64_t m_placeStart = 0;       // the place being read now
    std::uint64_t m_placeEnd = 0;
    bool m_startWithoutEnd = false;
    std::uint64_t m_readsLeft;
    std::vector<std::uint8_t> m_window;
    std::uint64_t m_windowOffset = 0;
    std::size_t m_windowBytes = 0;
};

} // namespace salvyn
