// Format end of FLAC: the metadata blocks, then the frames. A frame carries no length, so
// its end is the place where its CRC-16 holds and the next frame's header (with its own
// CRC-8 and the next frame or sample number) follows; the stream information's sample
// count, when the encoder knew it, tells which frame is the last.
#include "results/formatends.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace salvyn {

namespace {

// The stream information first, then a handful of blocks; pictures add a few more.
constexpr unsigned kMaxMetadataBlocks = 1024;
// Far more frames than a day of sound in the smallest blocks holds; bounds a walk over a
// chain of tiny forged frames.
constexpr std::uint64_t kMaxFrames = 1ull << 24;
constexpr std::uint64_t kMaxHeaderBytes = 16;
constexpr std::size_t kScanPieceBytes = 4096;

// Both checksums are unreflected, start from zero and have no final inversion.
template <typename Crc, unsigned Poly>
constexpr std::array<Crc, 256> crcTable()
{
    constexpr unsigned top = 8 * sizeof(Crc) - 1;
    std::array<Crc, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i << (top - 7);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & (1u << top)) ? (crc << 1) ^ Poly : crc << 1;
        table[i] = static_cast<Crc>(crc);
    }
    return table;
}
constexpr auto kCrc8 = crcTable<std::uint8_t, 0x07>();
constexpr auto kCrc16 = crcTable<std::uint16_t, 0x8005>();

std::uint8_t crc8(const std::uint8_t* data, std::size_t size)
{
    std::uint8_t crc = 0;
    for (std::size_t i = 0; i < size; ++i)
        crc = kCrc8[crc ^ data[i]];
    return crc;
}

std::uint16_t crc16Step(std::uint16_t crc, std::uint8_t byte)
{
    return static_cast<std::uint16_t>(crc << 8) ^ kCrc16[(crc >> 8) ^ byte];
}

struct StreamInfo {
    std::uint32_t maxBlockSamples;
    std::uint32_t minFrameBytes;  // 0: not known
    std::uint32_t maxFrameBytes;  // 0: not known
    unsigned channels;
    unsigned bitsPerSample;
    std::uint64_t totalSamples;  // 0: not known
};

std::optional<StreamInfo> streamInfo(FormatEndReader& file)
{
    // "fLaC", the block header (type 0, 34 bytes), then the stream information's fields.
    std::uint8_t b[42];
    if (!file.read(0, b, sizeof b) || std::memcmp(b, "fLaC", 4) != 0 || (b[4] & 0x7F) != 0 || b[5] != 0 || b[6] != 0 || b[7] != 34)
        return std::nullopt;
    auto field = [&](int at, int bytes) {
        std::uint64_t value = 0;
        for (int i = 0; i < bytes; ++i)
            value = value << 8 | b[at + i];
        return value;
    };
    const std::uint64_t minBlock = field(8, 2), maxBlock = field(10, 2), minFrame = field(12, 3), maxFrame = field(15, 3);
    const std::uint64_t packed = field(18, 8);  // rate 20 bits, channels 3, bits per sample 5, samples 36
    if (minBlock < 16 || maxBlock < minBlock || (maxFrame != 0 && minFrame > maxFrame) || (packed >> 44) == 0)
        return std::nullopt;
    return StreamInfo{std::uint32_t(maxBlock), std::uint32_t(minFrame), std::uint32_t(maxFrame),
                      unsigned((packed >> 41) & 7) + 1, unsigned((packed >> 36) & 31) + 1, packed & 0xFFFFFFFFFull};
}

// Where the metadata blocks end: the block with the last-block flag closes them.
std::optional<std::uint64_t> metadataEnd(FormatEndReader& file)
{
    std::uint64_t offset = 4;
    for (unsigned blocks = 0; blocks < kMaxMetadataBlocks; ++blocks) {
        auto header = file.be32(offset);
        if (!header || ((*header >> 24) & 0x7F) == 127)
            return std::nullopt;
        offset += 4 + (*header & 0xFFFFFF);
        if (*header & 0x80000000u)
            return offset;
    }
    return std::nullopt;
}

struct FrameHeader {
    std::uint64_t number;  // the frame's number, or its first sample's with variable block sizes
    bool variableBlocks;
    std::uint32_t blockSamples;
    unsigned channels;
    std::uint64_t bytes;
};

std::optional<FrameHeader> frameHeader(FormatEndReader& file, std::uint64_t offset)
{
    std::uint8_t h[kMaxHeaderBytes];
    if (!file.read(offset, h, 5) || h[0] != 0xFF || (h[1] & 0xFE) != 0xF8)
        return std::nullopt;
    const unsigned blockCode = h[2] >> 4, rateCode = h[2] & 15, channelCode = h[3] >> 4, sizeCode = (h[3] >> 1) & 7;
    if (blockCode == 0 || rateCode == 15 || channelCode > 10 || sizeCode == 3 || (h[3] & 1))
        return std::nullopt;
    // The number, coded as UTF-8 codes its characters: the leading ones count the bytes.
    unsigned ones = 0;
    while (ones < 8 && (h[4] & (0x80 >> ones)))
        ++ones;
    if (ones == 1 || ones == 8)
        return std::nullopt;
    const unsigned extra = ones == 0 ? 0 : ones - 1;
    std::uint64_t number = h[4] & (0x7F >> ones);
    const std::size_t blockBytes = blockCode == 6 ? 1 : blockCode == 7 ? 2 : 0;
    const std::size_t rateBytes = rateCode == 12 ? 1 : rateCode >= 13 ? 2 : 0;
    const std::size_t bytes = 5 + extra + blockBytes + rateBytes + 1;
    if (!file.read(offset + 5, h + 5, bytes - 5) || crc8(h, bytes - 1) != h[bytes - 1])
        return std::nullopt;
    for (unsigned i = 0; i < extra; ++i) {
        if ((h[5 + i] & 0xC0) != 0x80)
            return std::nullopt;
        number = number << 6 | (h[5 + i] & 0x3F);
    }
    const std::uint8_t* sizeField = h + 5 + extra;
    std::uint32_t blockSamples = 0;
    if (blockCode == 1)
        blockSamples = 192;
    else if (blockCode <= 5)
        blockSamples = 576u << (blockCode - 2);
    else if (blockCode == 6)
        blockSamples = sizeField[0] + 1u;
    else if (blockCode == 7)
        blockSamples = (sizeField[0] << 8 | sizeField[1]) + 1u;
    else
        blockSamples = 256u << (blockCode - 8);
    return FrameHeader{number, bool(h[1] & 1), blockSamples, channelCode < 8 ? channelCode + 1 : 2, bytes};
}

// True when a frame that carries on the stream starts at `offset`.
bool continuesAt(FormatEndReader& file, std::uint64_t offset, const StreamInfo& info, std::uint64_t frames, std::uint64_t samples)
{
    auto next = frameHeader(file, offset);
    return next && next->channels == info.channels && next->blockSamples <= info.maxBlockSamples
        && next->number == (next->variableBlocks ? samples : frames);
}

struct FrameEnd {
    std::uint64_t offset;
    bool followed;  // by the next frame of the stream
};

// The end of the frame at `offset`, from its CRC-16: the first place where it holds and
// the next frame follows, or for the last frame the first place where it holds at all.
std::optional<FrameEnd> frameEnd(FormatEndReader& file, std::uint64_t offset, const FrameHeader& frame, const StreamInfo& info,
                                 bool last, std::uint64_t frames, std::uint64_t samples)
{
    // No frame is larger than its samples stored verbatim, with room for the headers.
    const std::uint64_t verbatimBytes =
        kMaxHeaderBytes + 2 + frame.channels * (2 + (std::uint64_t{frame.blockSamples} * (info.bitsPerSample + 1) + 7) / 8);
    const std::uint64_t maxBytes = info.maxFrameBytes != 0 ? info.maxFrameBytes : verbatimBytes;
    const std::uint64_t minBytes = std::max<std::uint64_t>(frame.bytes + 2 + frame.channels, info.minFrameBytes);
    std::optional<std::uint64_t> firstFit;
    std::array<std::uint8_t, kScanPieceBytes> piece;
    std::uint16_t crc = 0;
    for (std::uint64_t done = 0; done < maxBytes;) {
        const std::size_t size = static_cast<std::size_t>(std::min<std::uint64_t>(kScanPieceBytes, maxBytes - done));
        const bool whole = file.read(offset + done, piece.data(), size);
        for (std::size_t i = 0; i < size; ++i) {
            if (!whole && !file.byteAt(offset + done + i))
                return firstFit ? std::optional(FrameEnd{*firstFit, false}) : std::nullopt;
            crc = crc16Step(crc, whole ? piece[i] : *file.byteAt(offset + done + i));
            const std::uint64_t length = done + i + 1;
            if (crc != 0 || length < minBytes)
                continue;
            if (last)
                return FrameEnd{offset + length, false};
            if (continuesAt(file, offset + length, info, frames, samples))
                return FrameEnd{offset + length, true};
            if (!firstFit)
                firstFit = offset + length;
        }
        done += size;
    }
    return firstFit ? std::optional(FrameEnd{*firstFit, false}) : std::nullopt;
}

} // namespace

std::optional<std::uint64_t> flacEnd(FormatEndReader& file)
{
    const auto info = streamInfo(file);
    auto offset = info ? metadataEnd(file) : std::nullopt;
    if (!offset)
        return std::nullopt;
    std::uint64_t frames = 0, samples = 0;
    for (bool followed = continuesAt(file, *offset, *info, 0, 0); followed && frames < kMaxFrames;) {
        const auto frame = frameHeader(file, *offset);
        const bool last = info->totalSamples != 0 && samples + frame->blockSamples >= info->totalSamples;
        const auto end = frameEnd(file, *offset, *frame, *info, last, frames + 1, samples + frame->blockSamples);
        // A frame that carries on the stream but does not end was cut.
        if (!end)
            return std::nullopt;
        offset = end->offset;
        followed = end->followed;
        ++frames;
        samples += frame->blockSamples;
    }
    // With the sample count known, a stream that stops short of it was cut.
    if (frames == 0 || frames == kMaxFrames || (info->totalSamples != 0 && samples != info->totalSamples))
        return std::nullopt;
    return file.endIfReadable(*offset);
}

} // namespace salvyn
