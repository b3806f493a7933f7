// Format end of TIFF and the camera raws built on it (NEF, CR2, DNG, ORF, RW2, BigTIFF):
// the furthest byte that any directory, out-of-line value, strip, tile or thumbnail ends at.
// A TIFF has no closing mark and writers put its parts in any order, so every directory
// the file names is visited: the chain from the header, EXIF, GPS and interoperability
// directories and SubIFDs. Maker notes count as one block of their stated length.
#include "results/formatends.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <vector>

namespace salvyn {

namespace {

// Bounds on hostile chains: a multi-page scan or a raw with its previews stays far below
// these, and a file past them is saved by its range instead.
constexpr std::size_t kMaxDirectories = 4096;
constexpr int kMaxDepth = 8;
constexpr std::uint64_t kMaxEntries = 65535;
// Strip and tile tables are read in pieces of this many values, so reading an offsets
// table and its byte counts table side by side does not reload the window per value.
constexpr std::size_t kTablePiece = 4096;

constexpr std::uint16_t kStripOffsets = 0x0111, kStripByteCounts = 0x0117;
constexpr std::uint16_t kFreeOffsets = 0x0120, kFreeByteCounts = 0x0121;
constexpr std::uint16_t kTileOffsets = 0x0144, kTileByteCounts = 0x0145;
constexpr std::uint16_t kJpegOffset = 0x0201, kJpegLength = 0x0202;
constexpr std::array<std::uint16_t, 4> kDirectoryPointers = {0x8769 /*EXIF*/, 0x8825 /*GPS*/, 0xA005 /*interoperability*/,
                                                             0x014A /*SubIFDs*/};

struct OffsetAndLengthTags {
    std::uint16_t offsets;
    std::uint16_t lengths;
};
constexpr std::array<OffsetAndLengthTags, 4> kDataTables = {
    {{kStripOffsets, kStripByteCounts}, {kTileOffsets, kTileByteCounts}, {kFreeOffsets, kFreeByteCounts},
     {kJpegOffset, kJpegLength}}};

std::uint64_t typeBytes(std::uint16_t type)
{
    switch (type) {
    case 1: case 2: case 6: case 7: return 1;       // bytes, ASCII, signed bytes, undefined
    case 3: case 8: return 2;                       // shorts
    case 4: case 9: case 11: case 13: return 4;     // longs, floats, IFD offsets
    case 5: case 10: case 12: case 16: case 17: case 18: return 8;  // rationals, doubles, BigTIFF longs
    default: return 0;
    }
}

// Directories still to read, each with how deep it lies below the header's chain.
using PendingDirectories = std::vector<std::pair<std::uint64_t, int>>;

struct Entry {
    std::uint16_t tag = 0;
    std::uint16_t type = 0;
    std::uint64_t count = 0;
    std::uint64_t values = 0;  // where the values lie: in the entry itself or out of line
};

class TiffWalk {
public:
    TiffWalk(FormatEndReader& file, bool bigEndian, bool bigTiff) : m_file(file), m_bigEndian(bigEndian), m_bigTiff(bigTiff) {}

    std::optional<std::uint64_t> end(std::uint64_t firstDirectory)
    {
        PendingDirectories pending{{firstDirectory, 0}};
        while (!pending.empty()) {
            auto [at, depth] = pending.back();
            pending.pop_back();
            // Each chain runs until its next offset is zero or leads somewhere already seen:
            // a loop, or one directory named twice.
            while (at != 0 && m_visited.insert(at).second) {
                if (m_visited.size() > kMaxDirectories || depth > kMaxDepth)
                    return std::nullopt;
                auto next = directory(at, depth, pending);
                if (!next)
                    return std::nullopt;
                at = *next;
            }
        }
        return m_file.endIfReadable(m_end);
    }

private:
    std::optional<std::uint64_t> number(std::uint64_t offset, std::uint64_t bytes)
    {
        switch (bytes) {
        case 2: {
            auto v = m_bigEndian ? m_file.be16(offset) : m_file.le16(offset);
            return v ? std::optional<std::uint64_t>(*v) : std::nullopt;
        }
        case 4: {
            auto v = m_bigEndian ? m_file.be32(offset) : m_file.le32(offset);
            return v ? std::optional<std::uint64_t>(*v) : std::nullopt;
        }
        case 8: return m_bigEndian ? m_file.be64(offset) : m_file.le64(offset);
        default: return std::nullopt;
        }
    }
    std::uint64_t offsetBytes() const { return m_bigTiff ? 8 : 4; }

    // The extent [begin, end) of a directory or a table this walk reads; in a real file they
    // never overlap, and refusing overlaps keeps hostile files from making it read one
    // place again and again.
    bool claim(std::uint64_t begin, std::uint64_t end)
    {
        auto after = m_claimed.lower_bound(begin);
        if ((after != m_claimed.end() && after->first < end) || (after != m_claimed.begin() && std::prev(after)->second > begin))
            return false;
        m_claimed.emplace(begin, end);
        return true;
    }

    bool reaches(std::uint64_t offset, std::uint64_t bytes)
    {
        if (offset > m_file.limit() || bytes > m_file.limit() - offset)
            return false;
        m_end = std::max(m_end, offset + bytes);
        return true;
    }

    // Reads one directory, notes what it covers and queues the directories it points to;
    // answers the next directory's offset (0 at the chain's end), none when broken.
    std::optional<std::uint64_t> directory(std::uint64_t at, int depth, PendingDirectories& pending)
    {
        const std::uint64_t countBytes = m_bigTiff ? 8 : 2, entryBytes = m_bigTiff ? 20 : 12;
        auto count = number(at, countBytes);
        if (at < (m_bigTiff ? 16u : 8u) || !count || *count == 0 || *count > kMaxEntries)
            return std::nullopt;
        const std::uint64_t nextField = at + countBytes + *count * entryBytes;
        const std::uint64_t directoryBytes = nextField + offsetBytes() - at;
        if (!reaches(at, directoryBytes) || !claim(at, at + directoryBytes))
            return std::nullopt;
        std::vector<Entry> kept;
        for (std::uint64_t i = 0; i < *count; ++i) {
            const std::uint64_t e = at + countBytes + i * entryBytes;
            auto tag = number(e, 2), type = number(e + 2, 2), n = number(e + 4, offsetBytes());
            if (!tag || !type || !n)
                return std::nullopt;
            const std::uint64_t size = typeBytes(static_cast<std::uint16_t>(*type));
            if (size == 0 || *n > m_file.limit() / size)
                return std::nullopt;
            Entry entry{static_cast<std::uint16_t>(*tag), static_cast<std::uint16_t>(*type), *n, e + 4 + offsetBytes()};
            if (*n * size > offsetBytes()) {
                auto values = number(entry.values, offsetBytes());
                if (!values || !reaches(*values, *n * size))
                    return std::nullopt;
                entry.values = *values;
            }
            if (isKept(entry.tag))
                kept.push_back(entry);
        }
        auto next = number(nextField, offsetBytes());
        if (!next || !dataTablesReach(kept) || !queuePointedDirectories(kept, depth, pending))
            return std::nullopt;
        return next;
    }

    bool claimTable(const Entry& entry)
    {
        const std::uint64_t bytes = entry.count * typeBytes(entry.type);
        return bytes <= offsetBytes() || claim(entry.values, entry.values + bytes);
    }

    static bool isKept(std::uint16_t tag)
    {
        auto named = [tag](const OffsetAndLengthTags& t) { return t.offsets == tag || t.lengths == tag; };
        return std::any_of(kDataTables.begin(), kDataTables.end(), named)
            || std::find(kDirectoryPointers.begin(), kDirectoryPointers.end(), tag) != kDirectoryPointers.end();
    }

    static const Entry* find(const std::vector<Entry>& entries, std::uint16_t tag)
    {
        auto it = std::find_if(entries.begin(), entries.end(), [tag](const Entry& e) { return e.tag == tag; });
        return it == entries.end() ? nullptr : &*it;
    }

    // Values `first` .. `first + n` of an entry of unsigned numbers into `out`.
    bool numbers(const Entry& entry, std::uint64_t first, std::size_t n, std::vector<std::uint64_t>& out)
    {
        const std::uint64_t size = typeBytes(entry.type);
        if (entry.type != 3 && entry.type != 4 && entry.type != 13 && entry.type != 16 && entry.type != 18)
            return false;
        std::vector<std::uint8_t> raw(n * size);
        if (!m_file.read(entry.values + first * size, raw.data(), raw.size()))
            return false;
        out.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            std::uint64_t v = 0;
            for (std::uint64_t b = 0; b < size; ++b)
                v |= std::uint64_t{raw[i * size + (m_bigEndian ? b : size - 1 - b)]} << (8 * (size - 1 - b));
            out[i] = v;
        }
        return true;
    }

    // Strips, tiles, free blocks and the JPEG thumbnail: each offset with its length.
    bool dataTablesReach(const std::vector<Entry>& entries)
    {
        for (const OffsetAndLengthTags& tags : kDataTables) {
            const Entry* offsets = find(entries, tags.offsets);
            const Entry* lengths = find(entries, tags.lengths);
            if (!offsets && !lengths)
                continue;
            if (!offsets || !lengths || offsets->count != lengths->count)
                return false;
            if (!claimTable(*offsets) || !claimTable(*lengths))
                return false;
            std::vector<std::uint64_t> starts, bytes;
            for (std::uint64_t first = 0; first < offsets->count; first += kTablePiece) {
                const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(kTablePiece, offsets->count - first));
                if (!numbers(*offsets, first, n, starts) || !numbers(*lengths, first, n, bytes))
                    return false;
                for (std::size_t i = 0; i < n; ++i)
                    if (bytes[i] != 0 && !reaches(starts[i], bytes[i]))
                        return false;
            }
        }
        return true;
    }

    bool queuePointedDirectories(const std::vector<Entry>& entries, int depth, PendingDirectories& pending)
    {
        for (const Entry& entry : entries) {
            if (std::find(kDirectoryPointers.begin(), kDirectoryPointers.end(), entry.tag) == kDirectoryPointers.end())
                continue;
            // More directories waiting than a walk may visit can only be a hostile file's.
            std::vector<std::uint64_t> offsets;
            if (entry.count > kMaxDirectories - pending.size()
                || !numbers(entry, 0, static_cast<std::size_t>(entry.count), offsets))
                return false;
            for (std::uint64_t offset : offsets)
                pending.emplace_back(offset, depth + 1);
        }
        return true;
    }

    FormatEndReader& m_file;
    bool m_bigEndian;
    bool m_bigTiff;
    std::uint64_t m_end = 0;
    std::set<std::uint64_t> m_visited;
    std::map<std::uint64_t, std::uint64_t> m_claimed;
};

} // namespace

std::optional<std::uint64_t> tiffEnd(FormatEndReader& file)
{
    const bool bigEndian = file.matches(0, "MM");
    if (!bigEndian && !file.matches(0, "II"))
        return std::nullopt;
    auto magic = bigEndian ? file.be16(2) : file.le16(2);
    if (!magic)
        return std::nullopt;
    // 42 is TIFF, 43 BigTIFF; Olympus writes "RO", "RS" or "OR", Panasonic 0x55.
    if (*magic == 43) {
        auto offsetBytes = bigEndian ? file.be16(4) : file.le16(4);
        auto first = bigEndian ? file.be64(8) : file.le64(8);
        if (offsetBytes != 8 || !first || *first < 16)
            return std::nullopt;
        return TiffWalk(file, bigEndian, true).end(*first);
    }
    if (*magic != 42 && *magic != 0x4F52 && *magic != 0x5352 && *magic != 0x55)
        return std::nullopt;
    auto first = bigEndian ? file.be32(4) : file.le32(4);
    if (!first || *first < 8)
        return std::nullopt;
    return TiffWalk(file, bigEndian, false).end(*first);
}

} // namespace salvyn
