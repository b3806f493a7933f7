// Format ends of pictures: JPEG, PNG, GIF, BMP.
#include "results/formatends.h"

namespace salvyn {

namespace {

// Skips entropy-coded data from `offset` and answers where the next marker's 0xFF is:
// stuffed 0xFF00 and restart markers belong to the data, extra 0xFF bytes are fill.
std::optional<std::uint64_t> skipScanData(FormatEndReader& file, std::uint64_t offset)
{
    for (;;) {
        auto ff = file.find(offset, "\xFF");
        if (!ff)
            return std::nullopt;
        auto next = file.byteAt(*ff + 1);
        if (!next)
            return std::nullopt;
        if (*next == 0x00 || (*next >= 0xD0 && *next <= 0xD7))
            offset = *ff + 2;
        else if (*next == 0xFF)
            offset = *ff + 1;
        else
            return *ff;
    }
}

bool isAsciiLetter(std::uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// GIF data sub-blocks: a size byte, that many bytes, until a size of zero.
std::optional<std::uint64_t> skipSubBlocks(FormatEndReader& file, std::uint64_t offset)
{
    for (;;) {
        auto size = file.byteAt(offset);
        if (!size)
            return std::nullopt;
        offset += 1 + *size;
        if (*size == 0)
            return offset;
    }
}

std::uint64_t gifColorTableBytes(std::uint8_t packedFields)
{
    return (packedFields & 0x80) ? 3ull << ((packedFields & 0x07) + 1) : 0;
}

} // namespace

std::optional<std::uint64_t> jpegEnd(FormatEndReader& file)
{
    if (file.be16(0) != 0xFFD8)
        return std::nullopt;
    std::uint64_t offset = 2;
    bool scanSeen = false;
    for (;;) {
        if (file.byteAt(offset) != 0xFF)
            return std::nullopt;
        std::optional<std::uint8_t> marker;
        do
            marker = file.byteAt(++offset);
        while (marker == 0xFF);
        if (!marker)
            return std::nullopt;
        ++offset;
        if (*marker == 0xD9)
            return scanSeen ? file.endIfReadable(offset) : std::nullopt;
        if (*marker == 0x01 || (*marker >= 0xD0 && *marker <= 0xD7))
            continue;
        if (*marker == 0x00 || *marker == 0xD8)
            return std::nullopt;
        // Every other marker leads a segment whose length counts its own two bytes; an
        // EXIF thumbnail inside APP1 is passed over with its segment.
        auto length = file.be16(offset);
        if (!length || *length < 2)
            return std::nullopt;
        offset += *length;
        if (*marker == 0xDA) {
            scanSeen = true;
            auto nextMarker = skipScanData(file, offset);
            if (!nextMarker)
                return std::nullopt;
            offset = *nextMarker;
        }
    }
}

std::optional<std::uint64_t> pngEnd(FormatEndReader& file)
{
    if (!file.matches(0, "\x89PNG\r\n\x1A\n") || file.be32(8) != 13 || !file.matches(12, "IHDR"))
        return std::nullopt;
    std::uint64_t offset = 8;
    for (;;) {
        auto length = file.be32(offset);
        std::uint8_t type[4];
        if (!length || *length > 0x7FFFFFFFu || !file.read(offset + 4, type, 4))
            return std::nullopt;
        for (std::uint8_t c : type)
            if (!isAsciiLetter(c))
                return std::nullopt;
        const std::uint64_t next = offset + 12 + *length;
        if (file.matches(offset + 4, "IEND"))
            return file.endIfReadable(next);
        offset = next;
    }
}

std::optional<std::uint64_t> gifEnd(FormatEndReader& file)
{
    if (!file.matches(0, "GIF87a") && !file.matches(0, "GIF89a"))
        return std::nullopt;
    auto screenFields = file.byteAt(10);
    if (!screenFields)
        return std::nullopt;
    std::uint64_t offset = 13 + gifColorTableBytes(*screenFields);
    for (;;) {
        auto introducer = file.byteAt(offset);
        if (!introducer)
            return std::nullopt;
        std::optional<std::uint64_t> next;
        if (*introducer == 0x3B) {
            return file.endIfReadable(offset + 1);
        } else if (*introducer == 0x21) {
            next = skipSubBlocks(file, offset + 2);
        } else if (*introducer == 0x2C) {
            auto imageFields = file.byteAt(offset + 9);
            if (!imageFields)
                return std::nullopt;
            // Descriptor, local colour table, LZW code size byte, then the data.
            next = skipSubBlocks(file, offset + 10 + gifColorTableBytes(*imageFields) + 1);
        }
        if (!next)
            return std::nullopt;
        offset = *next;
    }
}

std::optional<std::uint64_t> bmpEnd(FormatEndReader& file)
{
    auto declaredSize = file.le32(2);
    auto pixelOffset = file.le32(10);
    auto headerSize = file.le32(14);
    if (!file.matches(0, "BM") || !declaredSize || !pixelOffset || !headerSize)
        return std::nullopt;
    const std::uint32_t h = *headerSize;
    if (h != 12 && h != 16 && h != 40 && h != 52 && h != 56 && h != 64 && h != 108 && h != 124)
        return std::nullopt;
    std::uint64_t width = 0, height = 0;
    std::optional<std::uint16_t> planes, bitsPerPixel;
    std::uint32_t compression = 0;
    if (h == 12) {
        width = file.le16(18).value_or(0);
        height = file.le16(20).value_or(0);
        planes = file.le16(22);
        bitsPerPixel = file.le16(24);
    } else {
        auto w = file.le32(18), signedHeight = file.le32(22), c = file.le32(30);
        if (!w || !signedHeight || !c || static_cast<std::int32_t>(*w) <= 0)
            return std::nullopt;
        width = *w;
        const auto hs = static_cast<std::int32_t>(*signedHeight);
        height = hs < 0 ? 0ull - static_cast<std::uint64_t>(static_cast<std::int64_t>(hs)) : static_cast<std::uint64_t>(hs);
        planes = file.le16(26);
        bitsPerPixel = file.le16(28);
        compression = *c;
    }
    const std::uint16_t bpp = bitsPerPixel.value_or(0);
    if (width == 0 || height == 0 || planes != 1
        || (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        || *pixelOffset < 14 + h || (*declaredSize != 0 && *declaredSize < *pixelOffset))
        return std::nullopt;
    // Uncompressed pixels have a known size; a size field short of it is wrong, and a
    // missing one is common enough to be worked out.
    const bool uncompressed = compression == 0 || compression == 3 || compression == 6;
    if (!uncompressed)
        return *declaredSize != 0 ? file.endIfReadable(*declaredSize) : std::nullopt;
    const std::uint64_t rowBytes = (width * bpp + 31) / 32 * 4;
    if (height > file.limit() / rowBytes)
        return std::nullopt;
    const std::uint64_t pixelEnd = *pixelOffset + rowBytes * height;
    return file.endIfReadable(*declaredSize >= pixelEnd ? *declaredSize : pixelEnd);
}

} // namespace salvyn
