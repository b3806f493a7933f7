#include "results/formatendreader.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace salvyn {

namespace {
// Small enough to come from the ordinary heap, large enough to scan data in few reads.
constexpr std::size_t kWindowBytes = 64 * 1024;
// Windows start on this boundary of the file so neighbouring reads share one load.
constexpr std::uint64_t kWindowAlign = 4096;
// Larger reads are copied through the window in pieces of this size.
constexpr std::size_t kReadPieceBytes = 32 * 1024;
// Every read of a walk counts against this, so that no chain of tiny blocks, however
// long the medium, keeps a walk going for more than about a second: it gives up instead.
// Enough for a 12 GB transport stream, one read per 188-byte packet.
constexpr std::uint64_t kReadsPerWalk = 64ull << 20;
// Reads this close to the place read last belong to it: the fields of one header or box.
constexpr std::uint64_t kPlaceGap = 64;
} // namespace

FormatEndReader::FormatEndReader(ByteReader& medium, std::uint64_t firstByte, std::uint64_t limitBytes,
                                 std::uint64_t scanLimitBytes)
    : m_medium(medium), m_firstByte(firstByte),
      m_limit(std::min(limitBytes, std::numeric_limits<std::uint64_t>::max() - firstByte)),
      m_scanLimit(std::min(scanLimitBytes, m_limit)), m_readsLeft(kReadsPerWalk)
{
}

bool FormatEndReader::load(std::uint64_t offset, std::size_t size)
{
    if (offset > m_limit || size > m_limit - offset || size > kWindowBytes - kWindowAlign || m_readsLeft == 0)
        return false;
    --m_readsLeft;
    if (offset >= m_windowOffset && offset + size <= m_windowOffset + m_windowBytes)
        return true;
    m_window.resize(kWindowBytes);
    m_windowOffset = offset - offset % kWindowAlign;
    const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(kWindowBytes, m_limit - m_windowOffset));
    m_windowBytes = m_medium.readAt(m_firstByte + m_windowOffset, m_window.data(), wanted);
    m_windowBytes = std::min(m_windowBytes, wanted);
    return offset + size <= m_windowOffset + m_windowBytes;
}

void FormatEndReader::noteRead(std::uint64_t offset, std::uint64_t end)
{
    if (offset + kPlaceGap >= m_placeStart && offset <= m_placeEnd + kPlaceGap) {
        m_placeStart = std::min(m_placeStart, offset);
        m_placeEnd = std::max(m_placeEnd, end);
        return;
    }
    // Going back (to another field of an earlier header) is not going on from there.
    if (offset > m_placeEnd)
        m_furthestFollowed = std::max(m_furthestFollowed, m_placeEnd);
    m_placeStart = offset;
    m_placeEnd = end;
}

bool FormatEndReader::read(std::uint64_t offset, void* out, std::size_t size)
{
    if (offset > m_limit || size > m_limit - offset)
        return false;
    const std::uint64_t start = offset;
    auto* target = static_cast<std::uint8_t*>(out);
    while (size > 0) {
        const std::size_t piece = std::min(size, kReadPieceBytes);
        if (!load(offset, piece))
            return false;
        std::memcpy(target, m_window.data() + (offset - m_windowOffset), piece);
        target += piece;
        offset += piece;
        size -= piece;
    }
    noteRead(start, offset);
    return true;
}

std::size_t FormatEndReader::readUpTo(std::uint64_t offset, void* out, std::size_t size)
{
    if (offset >= m_limit)
        return 0;
    size = static_cast<std::size_t>(std::min<std::uint64_t>(size, m_limit - offset));
    auto* target = static_cast<std::uint8_t*>(out);
    std::size_t done = 0;
    while (done < size) {
        const std::uint64_t at = offset + done;
        load(at, std::min(size - done, kReadPieceBytes));
        if (at < m_windowOffset || at >= m_windowOffset + m_windowBytes)
            break;
        const std::size_t piece = static_cast<std::size_t>(std::min<std::uint64_t>(size - done, m_windowOffset + m_windowBytes - at));
        std::memcpy(target + done, m_window.data() + (at - m_windowOffset), piece);
        done += piece;
    }
    if (done > 0)
        noteRead(offset, offset + done);
    return done;
}

std::optional<std::uint8_t> FormatEndReader::byteAt(std::uint64_t offset)
{
    if (!load(offset, 1))
        return std::nullopt;
    noteRead(offset, offset + 1);
    return m_window[offset - m_windowOffset];
}

std::optional<std::uint64_t> FormatEndReader::unsignedAt(std::uint64_t offset, std::size_t size, bool bigEndian)
{
    std::uint8_t bytes[8];
    if (!read(offset, bytes, size))
        return std::nullopt;
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i)
        value |= std::uint64_t{bytes[bigEndian ? i : size - 1 - i]} << (8 * (size - 1 - i));
    return value;
}

std::optional<std::uint16_t> FormatEndReader::be16(std::uint64_t offset)
{
    auto v = unsignedAt(offset, 2, true);
    return v ? std::optional<std::uint16_t>(static_cast<std::uint16_t>(*v)) : std::nullopt;
}
std::optional<std::uint32_t> FormatEndReader::be24(std::uint64_t offset)
{
    auto v = unsignedAt(offset, 3, true);
    return v ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(*v)) : std::nullopt;
}
std::optional<std::uint32_t> FormatEndReader::be32(std::uint64_t offset)
{
    auto v = unsignedAt(offset, 4, true);
    return v ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(*v)) : std::nullopt;
}
std::optional<std::uint64_t> FormatEndReader::be64(std::uint64_t offset) { return unsignedAt(offset, 8, true); }
std::optional<std::uint16_t> FormatEndReader::le16(std::uint64_t offset)
{
    auto v = unsignedAt(offset, 2, false);
    return v ? std::optional<std::uint16_t>(static_cast<std::uint16_t>(*v)) : std::nullopt;
}
std::optional<std::uint32_t> FormatEndReader::le32(std::uint64_t offset)
{
    auto v = unsignedAt(offset, 4, false);
    return v ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(*v)) : std::nullopt;
}
std::optional<std::uint64_t> FormatEndReader::le64(std::uint64_t offset) { return unsignedAt(offset, 8, false); }

bool FormatEndReader::matches(std::uint64_t offset, std::string_view text)
{
    if (!load(offset, text.size()))
        return false;
    noteRead(offset, offset + text.size());
    return std::memcmp(m_window.data() + (offset - m_windowOffset), text.data(), text.size()) == 0;
}

std::optional<std::uint64_t> FormatEndReader::find(std::uint64_t from, std::string_view pattern, std::uint64_t until)
{
    if (pattern.empty() || pattern.size() > kWindowAlign)
        return std::nullopt;
    // The walk got here by following the file's structure; the bytes scanned are not
    // structure, so only a hit is a place it goes on from.
    m_furthestFollowed = std::max(m_furthestFollowed, m_placeEnd);
    std::uint64_t offset = from;
    until = std::min(until, m_scanLimit);
    while (offset < until && load(offset, pattern.size())) {
        const std::uint64_t searchEnd = std::min<std::uint64_t>(m_windowOffset + m_windowBytes, until);
        if (searchEnd < offset + pattern.size())
            return std::nullopt;
        const std::uint8_t* begin = m_window.data() + (offset - m_windowOffset);
        const std::uint8_t* end = m_window.data() + (searchEnd - m_windowOffset);
        const void* hit = memmem(begin, static_cast<std::size_t>(end - begin), pattern.data(), pattern.size());
        if (hit != nullptr) {
            const std::uint64_t at = offset + static_cast<std::uint64_t>(static_cast<const std::uint8_t*>(hit) - begin);
            noteRead(at, at + pattern.size());
            return at;
        }
        // The next window starts where a pattern cut by this window's end would begin.
        offset = searchEnd - (pattern.size() - 1);
    }
    return std::nullopt;
}

std::optional<std::uint64_t> FormatEndReader::endIfReadable(std::uint64_t length)
{
    if (length == 0 || length > m_limit || !byteAt(length - 1))
        return std::nullopt;
    return length;
}

} // namespace salvyn
