// Format end of tar archives: 512-byte member headers, each with its checksum and the size
// of the data after it, to the two zero blocks that end the archive.
#include "results/formatends.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

namespace salvyn {

namespace {

constexpr std::uint64_t kTarBlockBytes = 512;
// GNU tar and most others write whole records of twenty blocks.
constexpr std::uint64_t kTarRecordBytes = 20 * kTarBlockBytes;
// A pax extended header larger than this is skipped, not searched for a size.
constexpr std::uint64_t kTarPaxParsedBytes = 64 * 1024;

// A tar number: octal digits, blank- or NUL-padded, or base-256 when the first byte has
// its top bit set (GNU tar's way to store sizes of 8 GiB and more).
std::optional<std::uint64_t> tarNumber(const std::uint8_t* field, std::size_t size)
{
    std::uint64_t value = 0;
    if (field[0] & 0x80) {
        if (field[0] != 0x80)
            return std::nullopt;  // negative, or beyond 64 bits
        for (std::size_t i = 1; i < size; ++i) {
            if (value >> 56)
                return std::nullopt;
            value = value << 8 | field[i];
        }
        return value;
    }
    std::size_t i = 0;
    while (i < size && field[i] == ' ')
        ++i;
    const std::size_t firstDigit = i;
    for (; i < size && field[i] >= '0' && field[i] <= '7'; ++i)
        value = value << 3 | static_cast<std::uint64_t>(field[i] - '0');
    for (std::size_t rest = i; rest < size; ++rest)
        if (field[rest] != ' ' && field[rest] != 0)
            return std::nullopt;
    return i > firstDigit ? std::optional(value) : std::nullopt;
}

// The checksum field holds the sum of the header's bytes with itself counted as blanks;
// old writers summed signed bytes.
bool tarChecksumHolds(const std::uint8_t* header)
{
    auto stored = tarNumber(header + 148, 8);
    std::uint64_t unsignedSum = 8 * ' ';
    std::int64_t signedSum = 8 * ' ';
    for (std::size_t i = 0; i < kTarBlockBytes; ++i) {
        if (i >= 148 && i < 156)
            continue;
        unsignedSum += header[i];
        signedSum += static_cast<std::int8_t>(header[i]);
    }
    return stored && (*stored == unsignedSum || static_cast<std::int64_t>(*stored) == signedSum);
}

bool isZeroBlock(FormatEndReader& file, std::uint64_t offset)
{
    std::uint8_t block[kTarBlockBytes];
    return file.read(offset, block, sizeof block) && std::all_of(block, block + sizeof block, [](std::uint8_t b) { return b == 0; });
}

// The "size" record of a pax extended header ("LENGTH size=DIGITS\n" among others),
// which overrides the size in the next header.
std::optional<std::uint64_t> paxSize(FormatEndReader& file, std::uint64_t offset, std::uint64_t bytes)
{
    if (bytes > kTarPaxParsedBytes)
        return std::nullopt;
    std::string records(static_cast<std::size_t>(bytes), '\0');
    if (!file.read(offset, records.data(), records.size()))
        return std::nullopt;
    std::size_t at = 0;
    while (at < records.size()) {
        std::size_t length = 0, i = at;
        for (; i < records.size() && records[i] >= '0' && records[i] <= '9' && length < records.size(); ++i)
            length = length * 10 + static_cast<std::size_t>(records[i] - '0');
        if (i == at || length < i - at || length > records.size() - at)
            return std::nullopt;
        const std::string_view record = std::string_view(records).substr(i, length - (i - at));
        if (record.starts_with(" size=")) {
            std::uint64_t size = 0;
            for (char c : record.substr(6)) {
                if (c < '0' || c > '9' || size > (~0ull - 9) / 10)
                    break;
                size = size * 10 + static_cast<std::uint64_t>(c - '0');
            }
            return size;
        }
        at += length;
    }
    return std::nullopt;
}

// Blocks to skip after a header: its data, and for a GNU sparse file the extension
// headers that come first.
std::optional<std::uint64_t> tarMemberBytes(FormatEndReader& file, std::uint64_t offset, const std::uint8_t* header,
                                             std::optional<std::uint64_t> size)
{
    const char type = static_cast<char>(header[156]);
    // Links, devices, directories and FIFOs carry no data, whatever their size field says.
    if (std::string_view("123456").find(type) != std::string_view::npos)
        return 0;
    std::uint64_t extensions = 0;
    if (type == 'S' && header[482] != 0) {
        std::uint8_t extension[kTarBlockBytes];
        do {
            extensions += kTarBlockBytes;
            if (!file.read(offset + extensions, extension, sizeof extension))
                return std::nullopt;
        } while (extension[504] != 0);
    }
    if (!size || *size > file.limit() - std::min(file.limit(), offset))
        return std::nullopt;
    return extensions + (*size + kTarBlockBytes - 1) / kTarBlockBytes * kTarBlockBytes;
}

} // namespace

std::optional<std::uint64_t> tarEnd(FormatEndReader& file)
{
    std::uint64_t offset = 0;
    std::optional<std::uint64_t> paxOverride;
    std::uint8_t header[kTarBlockBytes];
    for (;;) {
        if (!file.read(offset, header, sizeof header))
            return std::nullopt;
        if (std::all_of(header, header + sizeof header, [](std::uint8_t b) { return b == 0; })) {
            if (offset == 0 || !isZeroBlock(file, offset + kTarBlockBytes))
                return std::nullopt;
            // The two zero blocks end the archive; the rest of its last record is zeros too
            // when the writer padded it, and belongs to the file when all of it is there.
            const std::uint64_t end = offset + 2 * kTarBlockBytes;
            std::uint64_t padded = end;
            while (padded % kTarRecordBytes != 0 && isZeroBlock(file, padded))
                padded += kTarBlockBytes;
            return file.endIfReadable(padded % kTarRecordBytes == 0 ? padded : end);
        }
        if (!tarChecksumHolds(header))
            return std::nullopt;
        const char type = static_cast<char>(header[156]);
        auto size = tarNumber(header + 124, 12);
        if (size && paxOverride && type != 'x' && type != 'g')
            size = std::exchange(paxOverride, std::nullopt);
        auto memberBytes = tarMemberBytes(file, offset, header, size);
        if (!memberBytes || *memberBytes > file.limit() - offset - kTarBlockBytes)
            return std::nullopt;
        if (type == 'x')
            paxOverride = paxSize(file, offset + kTarBlockBytes, *size);
        offset += kTarBlockBytes + *memberBytes;
    }
}

} // namespace salvyn
