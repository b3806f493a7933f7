// Format ends of streams that carry no total size: FLV tags, Ogg pages, MPEG program
// stream packs, MPEG transport stream packets. The walk goes packet by packet and the
// file ends where the structure does.
#include "results/formatendchecksums.h"
#include "results/formatends.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace salvyn {

namespace {

constexpr std::uint64_t kFlvHeaderBytes = 9;
constexpr std::uint64_t kFlvTagHeaderBytes = 11;
constexpr std::uint64_t kOggPageHeaderBytes = 27;
// More logical streams than this in one Ogg file is not a real file.
constexpr std::size_t kMaxOggStreams = 64;

struct OggPage {
    std::uint8_t flags;
    std::uint32_t serial;
    std::uint64_t bytes;
};

// One page at `offset`, with its capture pattern, version and checksum verified.
std::optional<OggPage> oggPage(FormatEndReader& file, std::uint64_t offset)
{
    std::uint8_t header[kOggPageHeaderBytes + 255];
    if (!file.read(offset, header, kOggPageHeaderBytes) || std::memcmp(header, "OggS", 4) != 0 || header[4] != 0)
        return std::nullopt;
    const std::uint8_t segments = header[26];
    if (!file.read(offset + kOggPageHeaderBytes, header + kOggPageHeaderBytes, segments))
        return std::nullopt;
    std::uint64_t bodyBytes = 0;
    for (std::uint8_t i = 0; i < segments; ++i)
        bodyBytes += header[kOggPageHeaderBytes + i];
    const std::uint32_t stored = header[22] | header[23] << 8 | header[24] << 16 | std::uint32_t{header[25]} << 24;
    std::memset(header + 22, 0, 4);
    std::uint32_t crc = oggCrc32(header, kOggPageHeaderBytes + segments);
    std::vector<std::uint8_t> body(bodyBytes);
    if (!file.read(offset + kOggPageHeaderBytes + segments, body.data(), body.size()))
        return std::nullopt;
    crc = oggCrc32(body.data(), body.size(), crc);
    if (crc != stored)
        return std::nullopt;
    const std::uint32_t serial = header[14] | header[15] << 8 | header[16] << 16 | std::uint32_t{header[17]} << 24;
    return OggPage{header[5], serial, kOggPageHeaderBytes + segments + bodyBytes};
}

bool isFlvTag(FormatEndReader& file, std::uint64_t offset)
{
    auto type = file.byteAt(offset);
    auto streamId = file.be24(offset + 8);
    if (!type || !streamId || *streamId != 0 || (*type & 0xC0) != 0)
        return false;
    const std::uint8_t kind = *type & 0x1F;
    return kind == 8 || kind == 9 || kind == 18;
}

// True when the transport packet at `offset` carries on every stream it belongs to:
// a new file starts its continuity counters afresh, so the first packet that breaks
// one is not this file's. A null packet, a repeated packet and a flagged discontinuity
// break nothing.
bool continuesStreams(FormatEndReader& file, std::uint64_t offset, std::array<std::int8_t, 8192>& counters)
{
    std::uint8_t header[6];
    if (!file.read(offset, header, sizeof header) || header[0] != 0x47)
        return false;
    const unsigned pid = (header[1] & 0x1F) << 8 | header[2];
    const bool hasPayload = header[3] & 0x10, hasAdaptation = header[3] & 0x20;
    const std::int8_t counter = header[3] & 0x0F;
    if (pid == 0x1FFF || !hasPayload)
        return true;
    const bool discontinuity = hasAdaptation && header[4] > 0 && (header[5] & 0x80);
    const std::int8_t last = counters[pid];
    counters[pid] = counter;
    return last < 0 || discontinuity || counter == last || counter == ((last + 1) & 0x0F);
}

std::optional<std::uint64_t> transportStreamEnd(FormatEndReader& file, std::uint64_t packetBytes, std::uint64_t syncAt)
{
    std::array<std::int8_t, 8192> counters;
    counters.fill(-1);
    std::uint64_t packets = 0;
    while (continuesStreams(file, packets * packetBytes + syncAt, counters) && file.byteAt((packets + 1) * packetBytes - 1))
        ++packets;
    // A handful of packets is what a stray sync byte in noise could give.
    if (packets < 8)
        return std::nullopt;
    return file.endIfReadable(packets * packetBytes);
}

// The system clock reference of the pack header at `offset` (MPEG-2 or MPEG-1 layout).
std::optional<std::uint64_t> packClock(FormatEndReader& file, std::uint64_t offset, bool mpeg2)
{
    std::uint8_t b[5];
    if (!file.read(offset + 4, b, sizeof b))
        return std::nullopt;
    const std::uint64_t b0 = b[0], b1 = b[1], b2 = b[2], b3 = b[3], b4 = b[4];
    if (mpeg2)
        return (b0 & 0x38) << 27 | (b0 & 0x03) << 28 | b1 << 20 | (b2 & 0xF8) << 12 | (b2 & 0x03) << 13 | b3 << 5 | b4 >> 3;
    return (b0 & 0x0E) << 29 | b1 << 22 | (b2 & 0xFE) << 14 | b3 << 7 | b4 >> 1;
}

} // namespace

std::optional<std::uint64_t> flvEnd(FormatEndReader& file)
{
    auto headerBytes = file.be32(5);
    auto firstPrevious = file.be32(kFlvHeaderBytes);
    if (!file.matches(0, "FLV\x01") || headerBytes != kFlvHeaderBytes || firstPrevious != 0u)
        return std::nullopt;
    std::uint64_t offset = kFlvHeaderBytes + 4;
    // Each tag is followed by the size of the tag it ends; a tag whose size does not come
    // back there is not part of this file.
    while (isFlvTag(file, offset)) {
        auto dataBytes = file.be24(offset + 1);
        const std::uint64_t sizeField = offset + kFlvTagHeaderBytes + *dataBytes;
        if (file.be32(sizeField) != kFlvTagHeaderBytes + *dataBytes)
            break;
        offset = sizeField + 4;
    }
    if (offset == kFlvHeaderBytes + 4)
        return std::nullopt;
    return file.endIfReadable(offset);
}

std::optional<std::uint64_t> oggEnd(FormatEndReader& file)
{
    std::vector<std::uint32_t> openStreams;
    std::uint64_t offset = 0;
    do {
        auto page = oggPage(file, offset);
        if (!page)
            return std::nullopt;
        const bool begins = page->flags & 0x02, ends = page->flags & 0x04;
        auto known = std::find(openStreams.begin(), openStreams.end(), page->serial);
        if (begins) {
            if (known != openStreams.end() || openStreams.size() == kMaxOggStreams)
                return std::nullopt;
            openStreams.push_back(page->serial);
            known = openStreams.end() - 1;
        } else if (known == openStreams.end()) {
            return std::nullopt;
        }
        if (ends)
            openStreams.erase(known);
        offset += page->bytes;
    } while (!openStreams.empty());
    return file.endIfReadable(offset);
}

std::optional<std::uint64_t> mpegPsEnd(FormatEndReader& file)
{
    if (!file.matches(0, std::string_view("\0\0\1\xBA", 4)))
        return std::nullopt;
    std::uint64_t offset = 0, lastClock = 0;
    for (;;) {
        auto code = file.be32(offset);
        if (!code || (*code >> 8) != 1)
            break;
        const std::uint8_t stream = *code & 0xFF;
        if (stream == 0xB9)
            return file.endIfReadable(offset + 4);
        if (stream == 0xBA) {
            auto marker = file.byteAt(offset + 4);
            const bool mpeg2 = marker && (*marker >> 6) == 1, mpeg1 = marker && (*marker >> 4) == 2;
            auto clock = packClock(file, offset, mpeg2);
            auto stuffing = file.byteAt(offset + 13);
            // The clock only runs forward within a file; a pack whose clock went back
            // starts the next recording.
            if (!(mpeg1 || (mpeg2 && stuffing)) || !clock || *clock < lastClock)
                break;
            lastClock = *clock;
            offset += mpeg2 ? 14 + (*stuffing & 0x07) : 12;
        } else if (stream >= 0xBB) {
            auto length = file.be16(offset + 4);
            if (!length || !file.byteAt(offset + 6 + *length - 1))
                break;
            offset += 6 + *length;
        } else {
            break;
        }
    }
    // No end code: the file ends after the last whole pack or packet.
    return file.endIfReadable(offset);
}

std::optional<std::uint64_t> mpegTsEnd(FormatEndReader& file) { return transportStreamEnd(file, 188, 0); }

std::optional<std::uint64_t> m2tsEnd(FormatEndReader& file) { return transportStreamEnd(file, 192, 4); }

} // namespace salvyn
