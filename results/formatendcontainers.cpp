// Format ends of sized containers: RIFF, AIFF, ISO base media, Matroska.
#include "results/formatends.h"

#include <array>
#include <string_view>

namespace salvyn {

namespace {

bool isFourCc(FormatEndReader& file, std::uint64_t offset)
{
    std::uint8_t id[4];
    if (!file.read(offset, id, 4))
        return false;
    for (std::uint8_t c : id)
        if (c < 0x20 || c > 0x7E)
            return false;
    return true;
}

// Boxes that may stand at the top level of an ISO media file after its first box.
// Anything else (free space, the next file) ends the walk.
constexpr std::array<std::string_view, 15> kTopLevelBoxes = {
    "moov", "mdat", "free", "skip", "wide", "uuid", "meta", "pdin",
    "moof", "mfra", "sidx", "ssix", "prft", "emsg", "pnot"};

bool isTopLevelBox(FormatEndReader& file, std::uint64_t offset, bool first)
{
    for (std::string_view type : kTopLevelBoxes)
        if (file.matches(offset + 4, type))
            return true;
    // A file type box only opens a file; a second one is the next file's.
    return first && (file.matches(offset + 4, "ftyp") || file.matches(offset + 4, "styp"));
}

// Boxes after which the file can be played or shown, not just a header of one.
bool isContentBox(FormatEndReader& file, std::uint64_t offset)
{
    return file.matches(offset + 4, "moov") || file.matches(offset + 4, "moof") || file.matches(offset + 4, "meta");
}

struct EbmlNumber {
    std::uint64_t value;
    std::uint64_t bytes;
    bool unknown;  // all value bits set: "size not known"
};

// A variable-length EBML number; `keepMarker` reads element IDs, which keep their length bit.
std::optional<EbmlNumber> ebmlNumber(FormatEndReader& file, std::uint64_t offset, bool keepMarker)
{
    auto first = file.byteAt(offset);
    if (!first || *first == 0)
        return std::nullopt;
    std::uint64_t bytes = 1;
    while (!(*first & (0x80 >> (bytes - 1))))
        ++bytes;
    std::uint64_t value = keepMarker ? *first : *first & (0xFFu >> bytes);
    bool allOnes = value == (0xFFu >> bytes);
    for (std::uint64_t i = 1; i < bytes; ++i) {
        auto b = file.byteAt(offset + i);
        if (!b)
            return std::nullopt;
        value = (value << 8) | *b;
        allOnes = allOnes && *b == 0xFF;
    }
    return EbmlNumber{value, bytes, !keepMarker && allOnes};
}

} // namespace

std::optional<std::uint64_t> riffEnd(FormatEndReader& file)
{
    // RF64 and BW64 sound keeps its 64-bit RIFF size in the ds64 chunk that comes first.
    if ((file.matches(0, "RF64") || file.matches(0, "BW64")) && file.matches(8, "WAVEds64")) {
        auto chunkSize = file.le32(16);
        auto riffSize = file.le64(20);
        if (!chunkSize || *chunkSize < 28 || !riffSize || *riffSize < 4 || *riffSize > file.limit())
            return std::nullopt;
        return file.endIfReadable(8 + *riffSize + (*riffSize & 1));
    }
    auto size = file.le32(4);
    if (!file.matches(0, "RIFF") || !size || !isFourCc(file, 8))
        return std::nullopt;
    // 0 and 0xFFFFFFFF are what streaming writers leave when they could not go back.
    if (*size == 0 || *size == 0xFFFFFFFFu)
        return file.startWithoutEnd();
    if (*size < 4)
        return std::nullopt;
    if (*size >= 12) {
        auto chunkSize = file.le32(16);
        if (!isFourCc(file, 12) || !chunkSize || *chunkSize > *size - 12)
            return std::nullopt;
    }
    std::uint64_t end = 8 + std::uint64_t{*size} + (*size & 1);
    // Large AVI files continue in further RIFF AVIX lists right after the first.
    if (file.matches(8, "AVI ")) {
        while (file.matches(end, "RIFF") && file.matches(end + 8, "AVIX")) {
            auto partSize = file.le32(end + 4);
            if (!partSize || *partSize < 4 || *partSize == 0xFFFFFFFFu)
                return std::nullopt;
            end += 8 + std::uint64_t{*partSize} + (*partSize & 1);
        }
    }
    return file.endIfReadable(end);
}

std::optional<std::uint64_t> aiffEnd(FormatEndReader& file)
{
    auto size = file.be32(4);
    if (!file.matches(0, "FORM") || !(file.matches(8, "AIFF") || file.matches(8, "AIFC")) || !size || *size < 4
        || *size == 0xFFFFFFFFu)
        return std::nullopt;
    if (*size >= 12) {
        auto chunkSize = file.be32(16);
        if (!isFourCc(file, 12) || !chunkSize || *chunkSize > *size - 12)
            return std::nullopt;
    }
    return file.endIfReadable(8 + std::uint64_t{*size} + (*size & 1));
}

std::optional<std::uint64_t> isoMediaEnd(FormatEndReader& file)
{
    std::uint64_t offset = 0;
    bool contentSeen = false;
    while (isTopLevelBox(file, offset, offset == 0)) {
        auto size32 = file.be32(offset);
        if (!size32)
            return std::nullopt;
        std::uint64_t size = *size32;
        if (size == 1) {
            auto size64 = file.be64(offset + 8);
            if (!size64 || *size64 < 16)
                return std::nullopt;
            size = *size64;
        } else if (size < 8) {
            // 0 means "to the end of the file", which the file itself does not know here.
            return std::nullopt;
        }
        contentSeen = contentSeen || isContentBox(file, offset);
        if (size > file.limit() - offset || !file.byteAt(offset + size - 1))
            return std::nullopt;
        offset += size;
    }
    if (!contentSeen)
        return std::nullopt;
    return file.endIfReadable(offset);
}

std::optional<std::uint64_t> matroskaEnd(FormatEndReader& file)
{
    constexpr std::uint64_t kEbmlId = 0x1A45DFA3, kSegmentId = 0x18538067, kVoidId = 0xEC;
    std::uint64_t offset = 0;
    bool headerSeen = false;
    for (;;) {
        auto id = ebmlNumber(file, offset, true);
        if (!id || id->bytes > 4)
            return std::nullopt;
        auto size = ebmlNumber(file, offset + id->bytes, false);
        if (size && size->unknown && headerSeen)
            return file.startWithoutEnd();
        if (!size || size->unknown)
            return std::nullopt;
        const std::uint64_t dataStart = offset + id->bytes + size->bytes;
        if (size->value > file.limit() - dataStart)
            return std::nullopt;
        const std::uint64_t end = dataStart + size->value;
        if (!headerSeen) {
            if (id->value != kEbmlId || size->value > 4096)
                return std::nullopt;
            headerSeen = true;
        } else if (id->value == kSegmentId) {
            return file.endIfReadable(end);
        } else if (id->value != kVoidId) {
            return std::nullopt;
        }
        offset = end;
    }
}

} // namespace salvyn
