#include "results/coverpicture.h"

#include <array>
#include <optional>
#include <string_view>

namespace salvyn {
namespace {

// Larger than any cover a tagger writes; a size beyond it is taken as damage.
constexpr std::uint64_t kLargestPicture = 32ull << 20;

std::vector<std::uint8_t> bytesAt(FormatEndReader& file, std::uint64_t offset, std::uint64_t size)
{
    if (size == 0 || size > kLargestPicture)
        return {};
    std::vector<std::uint8_t> bytes(size);
    if (!file.read(offset, bytes.data(), bytes.size()))
        return {};
    return bytes;
}

// The offset just past the text at `offset` of ID3 `encoding`: UTF-16 texts end in two zero
// bytes on a two-byte boundary, the others in one.
std::optional<std::uint64_t> pastId3Text(FormatEndReader& file, std::uint64_t offset, std::uint64_t end,
                                         std::uint8_t encoding)
{
    const bool wide = encoding == 1 || encoding == 2;
    for (std::uint64_t at = offset; at + (wide ? 1 : 0) < end; at += wide ? 2 : 1) {
        const auto first = file.byteAt(at);
        if (!first)
            return std::nullopt;
        if (*first == 0 && (!wide || file.byteAt(at + 1) == std::uint8_t{0}))
            return at + (wide ? 2 : 1);
    }
    return std::nullopt;
}

std::uint32_t syncSafe(std::uint32_t value)
{
    return (value & 0x7f) | ((value >> 8) & 0x7f) << 7 | ((value >> 16) & 0x7f) << 14 | ((value >> 24) & 0x7f) << 21;
}

std::vector<std::uint8_t> id3Cover(FormatEndReader& file)
{
    const auto version = file.byteAt(3);
    const auto flags = file.byteAt(5);
    const auto tagSize = file.be32(6);
    if (!version || !flags || !tagSize || *version < 2 || *version > 4)
        return {};
    const std::uint64_t end = 10 + syncSafe(*tagSize);
    std::uint64_t at = 10;
    if (*version >= 3 && (*flags & 0x40)) {
        const auto extended = file.be32(10);
        if (!extended)
            return {};
        at += *version == 3 ? 4 + *extended : syncSafe(*extended);
    }
    const bool old = *version == 2;
    const std::uint64_t headerSize = old ? 6 : 10;
    while (at + headerSize <= end) {
        const auto frameSize = old ? file.be24(at + 3) : file.be32(at + 4);
        if (!frameSize || file.byteAt(at) == std::uint8_t{0})
            return {}; // padding: no picture
        const std::uint64_t size = *version == 4 ? syncSafe(*frameSize) : *frameSize;
        const std::uint64_t body = at + headerSize, bodyEnd = body + size;
        if (bodyEnd > end)
            return {};
        if (file.matches(at, old ? "PIC" : "APIC")) {
            const auto encoding = file.byteAt(body);
            if (!encoding)
                return {};
            // v2.2 names the format in three letters; later versions give a MIME type.
            const auto pastMime = old ? std::optional<std::uint64_t>(body + 4) : pastId3Text(file, body + 1, bodyEnd, 0);
            const auto pictureStart = pastMime ? pastId3Text(file, *pastMime + 1, bodyEnd, *encoding) : std::nullopt;
            return pictureStart ? bytesAt(file, *pictureStart, bodyEnd - *pictureStart) : std::vector<std::uint8_t>{};
        }
        at = bodyEnd;
    }
    return {};
}

std::vector<std::uint8_t> flacCover(FormatEndReader& file)
{
    for (std::uint64_t at = 4;;) {
        const auto header = file.byteAt(at);
        const auto size = file.be24(at + 1);
        if (!header || !size)
            return {};
        const std::uint64_t body = at + 4;
        if ((*header & 0x7f) == 6) {
            // Picture type, MIME type, description, four numbers of its size and colours, then the data.
            const auto mimeLength = file.be32(body + 4);
            const auto describedLength = mimeLength ? file.be32(body + 8 + *mimeLength) : std::nullopt;
            if (!describedLength)
                return {};
            const std::uint64_t lengthAt = body + 12 + *mimeLength + *describedLength + 16;
            const auto length = file.be32(lengthAt);
            return length && lengthAt + 4 + *length <= body + *size ? bytesAt(file, lengthAt + 4, *length)
                                                                    : std::vector<std::uint8_t>{};
        }
        if (*header & 0x80)
            return {}; // the last block
        at = body + *size;
    }
}

// The box named `name` among those from `from` to `end`, as the offset of its contents and its end.
std::optional<std::pair<std::uint64_t, std::uint64_t>> mp4Box(FormatEndReader& file, std::uint64_t from,
                                                              std::uint64_t end, std::string_view name)
{
    for (std::uint64_t at = from; at + 8 <= end;) {
        const auto size32 = file.be32(at);
        if (!size32)
            return std::nullopt;
        std::uint64_t size = *size32, header = 8;
        if (size == 1) {
            const auto large = file.be64(at + 8);
            if (!large)
                return std::nullopt;
            size = *large;
            header = 16;
        } else if (size == 0) {
            size = end - at;
        }
        if (size < header || at + size > end)
            return std::nullopt;
        if (file.matches(at + 4, name))
            return std::pair{at + header, at + size};
        at += size;
    }
    return std::nullopt;
}

std::vector<std::uint8_t> mp4Cover(FormatEndReader& file)
{
    std::optional<std::pair<std::uint64_t, std::uint64_t>> box{{0, file.limit()}};
    // The meta box is a full box: four bytes of version and flags before its children.
    for (const auto& [name, skip] : std::array<std::pair<std::string_view, std::uint64_t>, 6>{
             {{"moov", 0}, {"udta", 0}, {"meta", 4}, {"ilst", 0}, {"covr", 0}, {"data", 0}}}) {
        box = mp4Box(file, box->first, box->second, name);
        if (!box)
            return {};
        box->first += skip;
    }
    // A data box's type and locale, then the picture.
    return box->second >= box->first + 8 ? bytesAt(file, box->first + 8, box->second - box->first - 8)
                                         : std::vector<std::uint8_t>{};
}

} // namespace

std::vector<std::uint8_t> coverPicture(FormatEndReader& file)
{
    if (file.matches(0, "ID3"))
        return id3Cover(file);
    if (file.matches(0, "fLaC"))
        return flacCover(file);
    if (file.matches(4, "ftyp"))
        return mp4Cover(file);
    return {};
}

} // namespace salvyn
