#include "results/formatendaudiotags.h"

#include <string_view>

namespace salvyn {

namespace {

constexpr std::uint64_t kApeTagFooterBytes = 32;
constexpr std::uint32_t kApeTagIsHeader = 1u << 29;
// A tag without its header is walked item by item to its footer; a real one holds far
// fewer items, and the cap keeps noise that looks like items from being walked for long.
constexpr int kMaxApeItems = 256;
constexpr int kMaxLyricsFields = 32;
constexpr std::uint64_t kId3v1Bytes = 128;

bool isDigits(FormatEndReader& file, std::uint64_t offset, int count, std::uint64_t& value)
{
    value = 0;
    for (int i = 0; i < count; ++i) {
        auto c = file.byteAt(offset + i);
        if (!c || *c < '0' || *c > '9')
            return false;
        value = value * 10 + (*c - '0');
    }
    return true;
}

// The byte after an APE item's key at `offset`: printable text of 2 to 255 characters
// ending in a zero byte.
std::optional<std::uint64_t> apeKeyEnd(FormatEndReader& file, std::uint64_t offset)
{
    for (std::uint64_t i = 0; i < 256; ++i) {
        auto c = file.byteAt(offset + i);
        if (!c)
            return std::nullopt;
        if (*c == 0)
            return i >= 2 ? std::optional(offset + i + 1) : std::nullopt;
        if (*c < 0x20 || *c > 0x7E)
            return std::nullopt;
    }
    return std::nullopt;
}

// An APE tag at `offset`: with its header, the header's size gives the footer; without
// it the items are walked to the footer, whose size must reach back to `offset`.
std::optional<std::uint64_t> apeTagEnd(FormatEndReader& file, std::uint64_t offset)
{
    if (file.matches(offset, "APETAGEX")) {
        auto bytes = file.le32(offset + 12);
        auto flags = file.le32(offset + 20);
        if (!bytes || !flags || *bytes < kApeTagFooterBytes)
            return std::nullopt;
        if (!(*flags & kApeTagIsHeader))
            return *bytes == kApeTagFooterBytes ? std::optional(offset + kApeTagFooterBytes) : std::nullopt;
        const std::uint64_t end = offset + kApeTagFooterBytes + *bytes;
        if (!file.matches(end - kApeTagFooterBytes, "APETAGEX") || file.le32(end - kApeTagFooterBytes + 12) != *bytes
            || !file.byteAt(end - 1))
            return std::nullopt;
        return end;
    }
    std::uint64_t item = offset;
    for (int i = 0; i < kMaxApeItems; ++i) {
        if (file.matches(item, "APETAGEX"))
            return file.le32(item + 12) == item + kApeTagFooterBytes - offset ? std::optional(item + kApeTagFooterBytes)
                                                                               : std::nullopt;
        auto valueBytes = file.le32(item);
        auto keyEnd = apeKeyEnd(file, item + 8);
        if (!valueBytes || !keyEnd)
            return offset;
        item = *keyEnd + *valueBytes;
    }
    return offset;
}

// A Lyrics3 v2 block at `offset`: fields of a three-letter name and a five-digit size,
// closed by the block's own six-digit size and "LYRICS200".
std::uint64_t lyricsEnd(FormatEndReader& file, std::uint64_t offset)
{
    if (!file.matches(offset, "LYRICSBEGIN"))
        return offset;
    std::uint64_t field = offset + 11, value = 0;
    for (int i = 0; i < kMaxLyricsFields; ++i) {
        if (isDigits(file, field, 6, value) && file.matches(field + 6, "LYRICS200"))
            return value == field - offset ? field + 15 : offset;
        if (!isDigits(file, field + 3, 5, value))
            return offset;
        field += 8 + value;
    }
    return offset;
}

} // namespace

std::optional<std::uint64_t> trailingTagsEnd(FormatEndReader& file, std::uint64_t soundEnd)
{
    auto end = apeTagEnd(file, soundEnd);
    if (!end)
        return std::nullopt;
    end = lyricsEnd(file, *end);
    if (file.matches(*end, "TAG"))
        return file.byteAt(*end + kId3v1Bytes - 1) ? std::optional(*end + kId3v1Bytes) : std::nullopt;
    return end;
}

} // namespace salvyn
