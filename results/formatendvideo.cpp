// Format ends of the video formats beyond the common containers: RealMedia chunks, MXF
// partitions, Flash files and MPEG-1/2 video elementary streams.
#include "results/formatendinflate.h"
#include "results/formatends.h"

#include <algorithm>
#include <array>

namespace salvyn {

namespace {

constexpr std::uint64_t kRealMediaChunkBytes = 10;  // identifier, size, object version
constexpr std::uint64_t kRealMediaDataHeaderBytes = 18;
constexpr std::uint64_t kRealMediaPacketHeaderBytes = 12;
constexpr std::array<std::string_view, 6> kRealMediaChunks = {"PROP", "MDPR", "CONT", "DATA", "INDX", "RMMD"};

constexpr std::uint64_t kMxfKeyBytes = 16;
// Every SMPTE universal label begins so. Partition packs share their first 13 bytes with
// the primer pack and the random index pack; byte 13 tells the header (2), body (3) and
// footer (4) partitions from them.
constexpr std::string_view kMxfLabel = "\x06\x0E\x2B\x34";
constexpr std::string_view kMxfPartitionKey = "\x06\x0E\x2B\x34\x02\x05\x01\x01\x0D\x01\x02\x01\x01";
constexpr std::string_view kMxfRandomIndexKey = "\x06\x0E\x2B\x34\x02\x05\x01\x01\x0D\x01\x02\x01\x01\x11\x01\x00";
constexpr std::uint8_t kMxfHeaderPartition = 0x02;
constexpr std::uint8_t kMxfFooterPartition = 0x04;

constexpr std::uint64_t kSwfHeaderBytes = 8;
// ZWS: the 8-byte header, the LZMA data's length, then 5 bytes of LZMA properties.
constexpr std::uint64_t kZwsHeaderBytes = 17;
constexpr std::uint8_t kSwfLatestVersion = 50;

// A picture never outgrows its decoder's buffer (under 6 MB at the largest MPEG-2
// profile), and a slice is a part of one; no start code within this distance means the
// stream has ended. It also bounds how far free space after the stream is read.
constexpr std::uint64_t kMpegMaxStartCodeGap = 4 * 1024 * 1024;
constexpr std::uint8_t kMpegPicture = 0x00;
constexpr std::uint8_t kMpegLastSlice = 0xAF;
constexpr std::uint8_t kMpegUserData = 0xB2;
constexpr std::uint8_t kMpegSequenceHeader = 0xB3;
constexpr std::uint8_t kMpegExtension = 0xB5;
constexpr std::uint8_t kMpegSequenceEnd = 0xB7;
constexpr std::uint8_t kMpegGroupOfPictures = 0xB8;

// An MXF length: BER, short form below 0x80, else 0x8N and N bytes (MXF uses at most 8).
std::optional<std::uint64_t> berLength(FormatEndReader& file, std::uint64_t& offset)
{
    auto first = file.byteAt(offset++);
    if (!first || *first == 0x80 || *first > 0x88)
        return std::nullopt;
    if (*first < 0x80)
        return *first;
    std::uint64_t value = 0;
    for (int i = 0; i < (*first & 0x0F); ++i) {
        auto b = file.byteAt(offset++);
        if (!b)
            return std::nullopt;
        value = value << 8 | *b;
    }
    return value;
}

bool isRealMediaChunk(FormatEndReader& file, std::uint64_t offset)
{
    return std::any_of(kRealMediaChunks.begin(), kRealMediaChunks.end(),
                       [&](std::string_view id) { return file.matches(offset, id); });
}

// The end of a data chunk, from its packets: writers that stream leave the chunk's size
// at zero, and some count bytes that are not there. Each packet is at least 12 bytes,
// so the walk moves on and stops at the limit.
std::optional<std::uint64_t> realMediaPacketsEnd(FormatEndReader& file, std::uint64_t dataChunk)
{
    auto packets = file.be32(dataChunk + 10);
    if (!packets)
        return std::nullopt;
    std::uint64_t offset = dataChunk + kRealMediaDataHeaderBytes;
    for (std::uint32_t i = 0; i < *packets; ++i) {
        auto version = file.be16(offset), length = file.be16(offset + 2);
        if (!version || *version > 1 || !length || *length < kRealMediaPacketHeaderBytes)
            return std::nullopt;
        offset += *length;
    }
    return offset;
}

bool isMpegSlice(std::uint8_t code) { return code > kMpegPicture && code <= kMpegLastSlice; }

// A sequence header with a picture size, an aspect ratio and a frame rate that can be.
bool isMpegSequenceHeader(FormatEndReader& file)
{
    std::uint8_t header[8];
    if (!file.read(0, header, sizeof header) || header[0] != 0 || header[1] != 0 || header[2] != 1
        || header[3] != kMpegSequenceHeader)
        return false;
    const unsigned width = header[4] << 4 | header[5] >> 4, height = (header[5] & 0x0F) << 8 | header[6];
    const unsigned aspect = header[7] >> 4, rate = header[7] & 0x0F;
    return width > 0 && height > 0 && aspect != 0 && aspect != 15 && rate >= 1 && rate <= 8;
}

// Where the coded data before the start code at `startCode` ends: coded data never holds
// 23 zero bits in a row, so three zero bytes begin the stuffing before a start code.
std::uint64_t codedDataEnd(FormatEndReader& file, std::uint64_t from, std::uint64_t startCode)
{
    return file.find(from, std::string_view("\0\0\0", 3), startCode + 2).value_or(startCode);
}

} // namespace

std::optional<std::uint64_t> realMediaEnd(FormatEndReader& file)
{
    auto headerBytes = file.be32(4);
    auto version = file.be16(8);
    if (!file.matches(0, ".RMF") || !headerBytes || *headerBytes < 18 || !version || *version > 1)
        return std::nullopt;
    std::uint64_t offset = *headerBytes, dataAt = 0, indexAt = 0;
    bool hasProperties = false, hasData = false;
    while (isRealMediaChunk(file, offset)) {
        auto chunkBytes = file.be32(offset + 4);
        if (!chunkBytes || *chunkBytes < kRealMediaChunkBytes)
            return std::nullopt;
        std::uint64_t next = offset + *chunkBytes;
        if (file.matches(offset, "PROP")) {
            auto index = file.be32(offset + 38), data = file.be32(offset + 42);
            if (!index || !data)
                return std::nullopt;
            hasProperties = true;
            indexAt = *index;
            dataAt = *data;
        } else if (file.matches(offset, "DATA")) {
            // The properties say where the data chunk is; one elsewhere is not this file's.
            if (dataAt != 0 && dataAt != offset)
                break;
            auto end = realMediaPacketsEnd(file, offset);
            if (!end)
                return std::nullopt;
            hasData = true;
            next = *end;
        }
        offset = next;
    }
    // Writers close the file with eight zero bytes (an empty packet and chunk header); where
    // they would be cannot be read, the file may be cut short before them.
    auto closing = file.le64(offset);
    if (!hasProperties || !hasData || indexAt >= offset || !closing)
        return std::nullopt;
    return file.endIfReadable(*closing == 0 ? offset + 8 : offset);
}

std::optional<std::uint64_t> mxfEnd(FormatEndReader& file)
{
    if (!file.matches(0, kMxfPartitionKey) || file.byteAt(13) != kMxfHeaderPartition)
        return std::nullopt;
    std::uint64_t offset = 0;
    bool footerSeen = false;
    // Key-length-value triplets of at least 17 bytes each, to the footer partition and
    // what follows it; a triplet running past the limit leaves the end unknown.
    while (file.matches(offset, kMxfLabel)) {
        std::uint64_t valueAt = offset + kMxfKeyBytes;
        auto length = berLength(file, valueAt);
        if (!length || *length > file.limit() - std::min(file.limit(), valueAt))
            return std::nullopt;
        const std::uint64_t next = valueAt + *length;
        auto kind = file.byteAt(offset + 13);
        if (file.matches(offset, kMxfPartitionKey) && kind >= kMxfHeaderPartition && kind <= kMxfFooterPartition) {
            // A partition stores its own offset; a header partition further on, or one whose
            // offset is not where it lies, begins another file.
            if (file.be64(valueAt + 8) != offset || (offset > 0 && *kind == kMxfHeaderPartition))
                break;
            footerSeen = footerSeen || *kind == kMxfFooterPartition;
        } else if (file.matches(offset, kMxfRandomIndexKey)) {
            // The random index pack closes the file and ends with its own overall length.
            if (!footerSeen || *length < 4 || file.be32(next - 4) != next - offset)
                return std::nullopt;
            return file.endIfReadable(next);
        }
        offset = next;
    }
    return footerSeen ? file.endIfReadable(offset) : std::nullopt;
}

std::optional<std::uint64_t> swfEnd(FormatEndReader& file)
{
    auto version = file.byteAt(3);
    auto length = file.le32(4);
    if (!version || *version == 0 || *version > kSwfLatestVersion || !length || *length <= kSwfHeaderBytes)
        return std::nullopt;
    if (file.matches(0, "FWS"))
        return file.endIfReadable(*length);
    if (file.matches(0, "CWS")) {
        // The length counts the file as it is once inflated; the zlib data says where it ends.
        auto stream = inflatedStream(file, kSwfHeaderBytes, 15);
        if (!stream || stream->outputBytes != *length - kSwfHeaderBytes)
            return std::nullopt;
        return file.endIfReadable(stream->end);
    }
    auto compressed = file.le32(kSwfHeaderBytes);
    auto properties = file.byteAt(12);
    // LZMA's first property byte packs lc, lp and pb into at most 9 * 5 * 5 - 1.
    if (!file.matches(0, "ZWS") || !compressed || *compressed == 0 || !properties || *properties >= 225)
        return std::nullopt;
    return file.endIfReadable(kZwsHeaderBytes + *compressed);
}

std::optional<std::uint64_t> mpegVideoEnd(FormatEndReader& file)
{
    if (!isMpegSequenceHeader(file))
        return std::nullopt;
    std::uint64_t next = 4, lastPictureEnd = 0, lastTimeCode = 0;
    bool inPicture = false, sliced = false;
    for (;;) {
        const std::uint64_t until = next + std::min(kMpegMaxStartCodeGap, file.limit() - next);
        auto at = file.find(next, std::string_view("\0\0\1", 3), until);
        auto code = at ? file.byteAt(*at + 3) : std::nullopt;
        if (!code)
            break;
        // A picture's slices end at the next start code that is not a slice.
        if (sliced && !isMpegSlice(*code)) {
            lastPictureEnd = codedDataEnd(file, next, *at);
            inPicture = sliced = false;
        }
        if (*code == kMpegSequenceEnd)
            return file.endIfReadable(*at + 4);
        if (isMpegSlice(*code)) {
            if (!inPicture)
                break;
            sliced = true;
        } else if (*code == kMpegPicture) {
            inPicture = true;
        } else if (*code == kMpegGroupOfPictures) {
            // The time code runs forward within a recording; one that goes back starts the next.
            auto bits = file.be32(*at + 4);
            const std::uint64_t timeCode = bits ? (*bits >> 7) & 0xFFFFFF : 0;
            if (!bits || timeCode < lastTimeCode)
                break;
            lastTimeCode = timeCode;
        } else if (*code != kMpegSequenceHeader && *code != kMpegExtension && *code != kMpegUserData) {
            break;
        }
        next = *at + 4;
    }
    // No end code: the last picture counts when zero stuffing or free space follows its
    // data, and not when the limit or the medium's end cut it.
    if (sliced) {
        const std::uint64_t until = next + std::min(kMpegMaxStartCodeGap, file.limit() - next);
        if (auto stuffing = file.find(next, std::string_view("\0\0\0", 3), until))
            lastPictureEnd = *stuffing;
    }
    return lastPictureEnd > 0 ? file.endIfReadable(lastPictureEnd) : std::nullopt;
}

} // namespace salvyn
