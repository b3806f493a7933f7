// Format ends of archives: ZIP (and the document formats built on it), RAR 4 and 5, 7z,
// cabinets.
#include "results/formatendchecksums.h"
#include "results/formatends.h"

#include <algorithm>
#include <string_view>

namespace salvyn {

namespace {

constexpr std::uint32_t kZipLocalHeader = 0x04034b50;
constexpr std::uint32_t kZipCentralHeader = 0x02014b50;
constexpr std::uint32_t kZipEndRecord = 0x06054b50;
constexpr std::uint32_t kZip64EndRecord = 0x06064b50;
constexpr std::uint32_t kZip64EndLocator = 0x07064b50;
constexpr std::uint64_t kZipLocalHeaderBytes = 30;
constexpr std::uint64_t kZipCentralHeaderBytes = 46;
constexpr std::uint64_t kZipEndRecordBytes = 22;
// RAR 5 keeps every block header under 2 MB.
constexpr std::uint64_t kRarMaxHeaderBytes = 2 * 1024 * 1024;
// RAR 4 blocks: CRC (2), type (1), flags (2), header size (2), then the added size (4) of a
// block that carries data.
constexpr std::uint64_t kRar4BlockBytes = 7;
constexpr std::uint8_t kRar4ArchiveHeader = 0x73;
constexpr std::uint8_t kRar4FileHeader = 0x74;
constexpr std::uint8_t kRar4ServiceHeader = 0x7A;
constexpr std::uint8_t kRar4EndOfArchive = 0x7B;
constexpr std::uint16_t kRar4HasAddedSize = 0x8000;
constexpr std::uint16_t kRar4HasHighSizes = 0x0100;
// In a file header, after the 32 bytes of its fixed fields.
constexpr std::uint64_t kRar4HighPackSizeAt = 32;
constexpr std::uint16_t kRar4HeadersEncrypted = 0x0080;
constexpr std::uint64_t kCabinetHeaderBytes = 36;
constexpr std::uint64_t kSevenZipStartHeaderBytes = 32;
// A next header larger than this is not checked against its checksum (nor read).
constexpr std::uint64_t kSevenZipCheckedHeaderBytes = 64 * 1024 * 1024;

struct ZipSizes {
    std::uint64_t compressed;
    bool zip64;
};

// Compressed size of a local entry, from its ZIP64 extra field when the header says so.
std::optional<ZipSizes> zipEntrySizes(FormatEndReader& file, std::uint64_t header)
{
    auto compressed = file.le32(header + 18), uncompressed = file.le32(header + 22);
    auto nameBytes = file.le16(header + 26), extraBytes = file.le16(header + 28);
    if (!compressed || !uncompressed || !nameBytes || !extraBytes)
        return std::nullopt;
    if (*compressed != 0xFFFFFFFFu && *uncompressed != 0xFFFFFFFFu)
        return ZipSizes{*compressed, false};
    std::uint64_t field = header + kZipLocalHeaderBytes + *nameBytes;
    const std::uint64_t extraEnd = field + *extraBytes;
    while (field + 4 <= extraEnd) {
        auto id = file.le16(field), bytes = file.le16(field + 2);
        if (!id || !bytes)
            return std::nullopt;
        if (*id == 0x0001 && *bytes >= 16) {
            auto size = file.le64(field + 12);
            return size ? std::optional<ZipSizes>(ZipSizes{*size, true}) : std::nullopt;
        }
        field += 4 + *bytes;
    }
    return std::nullopt;
}

// End of an entry whose sizes follow its data: the data descriptor is found where its
// compressed size equals the bytes since the data began, with or without its signature.
std::optional<std::uint64_t> zipDescriptorEnd(FormatEndReader& file, std::uint64_t dataStart, bool zip64)
{
    const std::uint64_t sizeBytes = zip64 ? 8 : 4;
    auto sizeAt = [&](std::uint64_t offset) -> std::optional<std::uint64_t> {
        if (zip64)
            return file.le64(offset);
        auto size = file.le32(offset);
        return size ? std::optional<std::uint64_t>(*size) : std::nullopt;
    };
    for (auto pk = file.find(dataStart, "PK"); pk; pk = file.find(*pk + 1, "PK")) {
        auto kind = file.be16(*pk + 2);
        if (kind == 0x0708u && sizeAt(*pk + 8) == *pk - dataStart)
            return *pk + 8 + 2 * sizeBytes;
        const std::uint64_t bare = 4 + 2 * sizeBytes;
        if ((kind == 0x0304u || kind == 0x0102u) && *pk >= dataStart + bare
            && sizeAt(*pk - 2 * sizeBytes) == *pk - bare - dataStart)
            return *pk;
    }
    return std::nullopt;
}

// Walks the local entries from `offset` and answers where the central directory begins.
std::optional<std::uint64_t> skipZipEntries(FormatEndReader& file, std::uint64_t offset)
{
    while (file.le32(offset) == kZipLocalHeader) {
        auto flags = file.le16(offset + 6);
        auto sizes = zipEntrySizes(file, offset);
        if (!flags || !sizes)
            return std::nullopt;
        const std::uint64_t dataStart = offset + kZipLocalHeaderBytes + *file.le16(offset + 26) + *file.le16(offset + 28);
        if (dataStart > file.limit())
            return std::nullopt;
        if (*flags & 0x0008) {
            auto end = zipDescriptorEnd(file, dataStart, sizes->zip64);
            if (!end)
                return std::nullopt;
            offset = *end;
        } else {
            if (sizes->compressed > file.limit() - dataStart)
                return std::nullopt;
            offset = dataStart + sizes->compressed;
        }
    }
    return offset;
}

// RAR 5's variable-length integer: seven bits a byte, least significant first.
std::optional<std::uint64_t> rarNumber(FormatEndReader& file, std::uint64_t& offset)
{
    std::uint64_t value = 0;
    for (int shift = 0; shift < 70; shift += 7) {
        auto b = file.byteAt(offset++);
        if (!b)
            return std::nullopt;
        value |= std::uint64_t{*b & 0x7Fu} << shift;
        if (!(*b & 0x80))
            return value;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> crcOf(FormatEndReader& file, std::uint64_t offset, std::uint64_t size)
{
    std::uint8_t piece[64 * 1024];
    std::uint32_t crc = 0;
    while (size > 0) {
        const std::size_t bytes = static_cast<std::size_t>(std::min<std::uint64_t>(size, sizeof piece));
        if (!file.read(offset, piece, bytes))
            return std::nullopt;
        crc = crc32(piece, bytes, crc);
        offset += bytes;
        size -= bytes;
    }
    return crc;
}

bool crcMatches(FormatEndReader& file, std::uint64_t offset, std::uint64_t size, std::uint32_t expected)
{
    return crcOf(file, offset, size) == expected;
}

// RAR 4 keeps the low 16 bits of the CRC-32.
bool crcMatches16(FormatEndReader& file, std::uint64_t offset, std::uint64_t size, std::uint16_t expected)
{
    auto crc = crcOf(file, offset, size);
    return crc && (*crc & 0xFFFFu) == expected;
}

// RAR 5: blocks with variable-length sizes and a CRC-32 each.
std::optional<std::uint64_t> rar5End(FormatEndReader& file)
{
    std::uint64_t offset = 8;
    for (;;) {
        auto storedCrc = file.le32(offset);
        std::uint64_t at = offset + 4;
        auto headerBytes = rarNumber(file, at);
        if (!storedCrc || !headerBytes || *headerBytes == 0 || *headerBytes > kRarMaxHeaderBytes
            || !crcMatches(file, offset + 4, at - offset - 4 + *headerBytes, *storedCrc))
            return std::nullopt;
        const std::uint64_t headerEnd = at + *headerBytes;
        auto type = rarNumber(file, at);
        auto flags = rarNumber(file, at);
        if (!type || !flags || ((*flags & 0x01) && !rarNumber(file, at)))
            return std::nullopt;
        std::uint64_t dataBytes = 0;
        if (*flags & 0x02) {
            auto size = rarNumber(file, at);
            if (!size || *size > file.limit())
                return std::nullopt;
            dataBytes = *size;
        }
        if (at > headerEnd || dataBytes > file.limit() - headerEnd)
            return std::nullopt;
        // Type 5 ends the archive; type 4 means the rest is encrypted and cannot be walked.
        if (*type == 5)
            return file.endIfReadable(headerEnd + dataBytes);
        if (*type == 4 || *type == 0 || *type > 5)
            return std::nullopt;
        offset = headerEnd + dataBytes;
    }
}

// RAR 4: the marker block, the archive header, then blocks of 7 or more header bytes
// with a 16-bit CRC each, the file data counted in their added size. Every block
// moves the walk on by at least 7 bytes, and its CRC must hold, so a walk through
// look-alike bytes stops at once.
std::optional<std::uint64_t> rar4End(FormatEndReader& file)
{
    std::uint64_t offset = kRar4BlockBytes;
    for (bool first = true;; first = false) {
        std::uint8_t head[kRar4BlockBytes];
        if (!file.read(offset, head, kRar4BlockBytes))
            return std::nullopt;
        const std::uint8_t type = head[2];
        const std::uint16_t flags = static_cast<std::uint16_t>(head[3] | head[4] << 8);
        const std::uint64_t headerBytes = head[5] | head[6] << 8;
        const bool hasAddedSize = flags & kRar4HasAddedSize;
        if (headerBytes < kRar4BlockBytes + (hasAddedSize ? 4 : 0) || (first && type != kRar4ArchiveHeader)
            || !crcMatches16(file, offset + 2, headerBytes - 2, static_cast<std::uint16_t>(head[0] | head[1] << 8)))
            return std::nullopt;
        auto added = hasAddedSize ? file.le32(offset + kRar4BlockBytes) : std::optional<std::uint32_t>(0);
        if (!added)
            return std::nullopt;
        std::uint64_t dataBytes = *added;
        if ((type == kRar4FileHeader || type == kRar4ServiceHeader) && (flags & kRar4HasHighSizes)) {
            auto high = headerBytes >= kRar4HighPackSizeAt + 4 ? file.le32(offset + kRar4HighPackSizeAt) : std::nullopt;
            if (!high)
                return std::nullopt;
            dataBytes += std::uint64_t{*high} << 32;
        }
        // The CRC was read, so the header lies inside the limit.
        if (dataBytes > file.limit() - (offset + headerBytes))
            return std::nullopt;
        const std::uint64_t next = offset + headerBytes + dataBytes;
        if (type == kRar4EndOfArchive)
            return file.endIfReadable(next);
        // Encrypted headers cannot be walked; types outside 0x72-0x7B are not RAR's.
        if ((type == kRar4ArchiveHeader && (flags & kRar4HeadersEncrypted)) || type < 0x72 || type > 0x7B)
            return std::nullopt;
        offset = next;
    }
}


} // namespace

std::optional<std::uint64_t> zipEnd(FormatEndReader& file)
{
    if (file.le32(0) != kZipLocalHeader)
        return std::nullopt;
    auto directory = skipZipEntries(file, 0);
    if (!directory)
        return std::nullopt;
    std::uint64_t offset = *directory, entries = 0;
    while (file.le32(offset) == kZipCentralHeader) {
        auto name = file.le16(offset + 28), extra = file.le16(offset + 30), comment = file.le16(offset + 32);
        if (!name || !extra || !comment)
            return std::nullopt;
        offset += kZipCentralHeaderBytes + *name + *extra + *comment;
        ++entries;
    }
    std::uint64_t directoryBytes = offset - *directory;
    std::optional<std::uint64_t> zip64Record;
    if (file.le32(offset) == kZip64EndRecord) {
        auto recordBytes = file.le64(offset + 4);
        if (!recordBytes || *recordBytes > file.limit() - offset)
            return std::nullopt;
        zip64Record = offset;
        offset += 12 + *recordBytes;
        if (file.le32(offset) != kZip64EndLocator)
            return std::nullopt;
        offset += 20;
    }
    auto count = file.le16(offset + 10);
    auto size = file.le32(offset + 12), start = file.le32(offset + 16);
    auto comment = file.le16(offset + 20);
    if (file.le32(offset) != kZipEndRecord || !count || !size || !start || !comment)
        return std::nullopt;
    // The end record must describe the directory just walked, or it is another archive's.
    std::uint64_t recordedCount = *count, recordedSize = *size, recordedStart = *start;
    if (zip64Record) {
        recordedCount = file.le64(*zip64Record + 32).value_or(~0ull);
        recordedSize = file.le64(*zip64Record + 40).value_or(~0ull);
        recordedStart = file.le64(*zip64Record + 48).value_or(~0ull);
    }
    if (recordedCount != entries || recordedSize != directoryBytes || recordedStart != *directory)
        return std::nullopt;
    return file.endIfReadable(offset + kZipEndRecordBytes + *comment);
}

std::optional<std::uint64_t> rarEnd(FormatEndReader& file)
{
    if (file.matches(0, std::string_view("Rar!\x1A\x07\x01\x00", 8)))
        return rar5End(file);
    if (file.matches(0, std::string_view("Rar!\x1A\x07\x00", 7)))
        return rar4End(file);
    return std::nullopt;
}

std::optional<std::uint64_t> cabinetEnd(FormatEndReader& file)
{
    auto reserved1 = file.le32(4), cabinetBytes = file.le32(8), reserved2 = file.le32(12);
    auto firstFile = file.le32(16), reserved3 = file.le32(20);
    auto version = file.le16(24);
    if (!file.matches(0, "MSCF") || reserved1 != 0u || reserved2 != 0u || reserved3 != 0u || version != 0x0103u
        || !cabinetBytes || !firstFile || *cabinetBytes < kCabinetHeaderBytes || *firstFile < kCabinetHeaderBytes
        || *firstFile > *cabinetBytes)
        return std::nullopt;
    return file.endIfReadable(*cabinetBytes);
}

std::optional<std::uint64_t> sevenZipEnd(FormatEndReader& file)
{
    auto startHeaderCrc = file.le32(8);
    auto nextOffset = file.le64(12), nextBytes = file.le64(20);
    auto nextCrc = file.le32(28);
    if (!file.matches(0, "7z\xBC\xAF\x27\x1C") || !startHeaderCrc || !nextOffset || !nextBytes || !nextCrc
        || !crcMatches(file, 12, 20, *startHeaderCrc) || *nextBytes == 0)
        return std::nullopt;
    const std::uint64_t room = file.limit() - kSevenZipStartHeaderBytes;
    if (*nextOffset > room || *nextBytes > room - *nextOffset)
        return std::nullopt;
    const std::uint64_t nextHeader = kSevenZipStartHeaderBytes + *nextOffset;
    if (*nextBytes <= kSevenZipCheckedHeaderBytes && !crcMatches(file, nextHeader, *nextBytes, *nextCrc))
        return std::nullopt;
    return file.endIfReadable(nextHeader + *nextBytes);
}

} // namespace salvyn
