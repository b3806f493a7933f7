// Format ends of MPEG audio streams: MP3 (MPEG-1, 2 and 2.5, layers I to III) and AAC in
// ADTS frames. Neither stream carries its length, so the frames are walked one by one,
// each header giving the frame's length, to the first bytes that do not continue the
// stream; the tags that taggers append are taken along.
#include "results/formatendaudiotags.h"
#include "results/formatends.h"

#include <array>
#include <string_view>

namespace salvyn {

namespace {

// A sync word in noise passes the header checks now and then; four frames in a row,
// each where the one before says it ends, do not happen by chance.
constexpr std::uint64_t kMinFrames = 4;
// Four days of sound at 50 frames a second: more is no recording but a run of tiny
// look-alike frames, and the cap keeps such a walk short.
constexpr std::uint64_t kMaxFrames = 1ull << 24;
constexpr std::uint64_t kId3v2HeaderBytes = 10;

struct MpegAudioFrame {
    std::uint32_t header;
    std::uint64_t bytes;
    std::uint64_t sideInfoBytes;  // layer III: where an encoder's VBR header begins after the frame header
};

// Kilobits per second by bitrate index: MPEG-1 layers I, II, III, then MPEG-2 and 2.5 layer I, layers II and III.
constexpr std::uint16_t kBitrates[5][15] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
};
constexpr std::uint32_t kMpeg1SampleRates[3] = {44100, 48000, 32000};

std::optional<MpegAudioFrame> mpegAudioFrame(FormatEndReader& file, std::uint64_t offset)
{
    auto header = file.be32(offset);
    if (!header || (*header & 0xFFE00000u) != 0xFFE00000u)
        return std::nullopt;
    const std::uint32_t h = *header;
    const unsigned version = (h >> 19) & 3, layer = (h >> 17) & 3;  // version 3 is MPEG-1, 2 MPEG-2, 0 MPEG-2.5; layer 3 is I
    const unsigned bitrateIndex = (h >> 12) & 15, rateIndex = (h >> 10) & 3, padding = (h >> 9) & 1;
    const bool mono = ((h >> 6) & 3) == 3;
    // Free-format frames give no length; reserved values are no frame at all.
    if (version == 1 || layer == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3 || (h & 3) == 2)
        return std::nullopt;
    const bool mpeg1 = version == 3;
    const unsigned row = mpeg1 ? 3 - layer : (layer == 3 ? 3 : 4);
    const std::uint64_t bitrate = kBitrates[row][bitrateIndex] * 1000ull;
    const std::uint64_t sampleRate = kMpeg1SampleRates[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    std::uint64_t bytes = 0;
    if (layer == 3)
        bytes = (12 * bitrate / sampleRate + padding) * 4;
    else if (layer == 2 || mpeg1)
        bytes = 144 * bitrate / sampleRate + padding;
    else
        bytes = 72 * bitrate / sampleRate + padding;
    const std::uint64_t sideInfo = mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    return MpegAudioFrame{h, bytes, layer == 1 ? sideInfo : 0};
}

// Version, layer and sample rate stay the same through one stream.
bool sameStream(const MpegAudioFrame& a, const MpegAudioFrame& b) { return ((a.header ^ b.header) & 0xFFFE0C00u) == 0; }

std::uint64_t xingOffset(const MpegAudioFrame& frame) { return 4 + frame.sideInfoBytes; }

// True when the frame at `offset` holds an encoder's VBR header (Xing, Info or VBRI),
// which only the first frame of a stream does.
bool hasVbrHeader(FormatEndReader& file, std::uint64_t offset, const MpegAudioFrame& frame)
{
    return frame.sideInfoBytes != 0
        && (file.matches(offset + xingOffset(frame), "Xing") || file.matches(offset + xingOffset(frame), "Info")
            || file.matches(offset + 36, "VBRI"));
}

// The stream's byte count from the first frame's VBR header, frames of the header
// included, when the header records one.
std::optional<std::uint64_t> countedStreamBytes(FormatEndReader& file, std::uint64_t offset, const MpegAudioFrame& frame)
{
    if (!hasVbrHeader(file, offset, frame))
        return std::nullopt;
    if (file.matches(offset + 36, "VBRI"))
        return file.be32(offset + 36 + 10);
    const std::uint64_t xing = offset + xingOffset(frame);
    auto flags = file.be32(xing + 4);
    if (!flags || !(*flags & 2))
        return std::nullopt;
    return file.be32(xing + 8 + (*flags & 1 ? 4 : 0));
}

// The end of the ID3 v2 tag at the file's start: a header of ten bytes, a size in
// seven-bit bytes, and a footer of ten more when the flags announce one.
std::optional<std::uint64_t> id3v2End(FormatEndReader& file)
{
    std::uint8_t h[kId3v2HeaderBytes];
    if (!file.read(0, h, sizeof h) || h[3] < 2 || h[3] > 4 || h[4] == 0xFF)
        return std::nullopt;
    std::uint64_t bytes = 0;
    for (int i = 6; i < 10; ++i) {
        if (h[i] & 0x80)
            return std::nullopt;
        bytes = bytes << 7 | h[i];
    }
    const bool footer = h[3] == 4 && (h[5] & 0x10);
    return kId3v2HeaderBytes + bytes + (footer ? kId3v2HeaderBytes : 0);
}

// ADTS frame header: sync, layer 0, a sample rate index in use and a length covering
// at least the header (7 bytes, 9 with a checksum).
struct AdtsFrame {
    std::array<std::uint8_t, 4> fixed;  // the fields every frame of one stream repeats
    std::uint64_t bytes;
};

std::optional<AdtsFrame> adtsFrame(FormatEndReader& file, std::uint64_t offset)
{
    std::uint8_t h[7];
    if (!file.read(offset, h, sizeof h) || h[0] != 0xFF || (h[1] & 0xF6) != 0xF0 || ((h[2] >> 2) & 15) > 12)
        return std::nullopt;
    const std::uint64_t bytes = (h[3] & 3u) << 11 | h[4] << 3 | h[5] >> 5;
    const std::uint64_t headerBytes = (h[1] & 1) ? 7 : 9;
    if (bytes <= headerBytes)
        return std::nullopt;
    return AdtsFrame{{h[0], h[1], std::uint8_t(h[2] & 0xFD), std::uint8_t(h[3] & 0xC0)}, bytes};
}

} // namespace

std::optional<std::uint64_t> mp3End(FormatEndReader& file)
{
    std::uint64_t start = 0;
    if (file.matches(0, "ID3")) {
        auto tagEnd = id3v2End(file);
        if (!tagEnd)
            return std::nullopt;
        start = *tagEnd;
    }
    const auto first = mpegAudioFrame(file, start);
    if (!first)
        return std::nullopt;
    // The VBR header's count tells where the stream stops even when the next file's
    // frames follow without a gap.
    const auto counted = countedStreamBytes(file, start, *first);
    std::uint64_t offset = start, frames = 0;
    for (auto frame = first; frame && sameStream(*first, *frame) && frames < kMaxFrames;) {
        if (frame->bytes > file.limit() - offset || !file.byteAt(offset + frame->bytes - 1))
            break;
        offset += frame->bytes;
        ++frames;
        if (offset - start == counted)
            break;
        frame = mpegAudioFrame(file, offset);
        if (frame && hasVbrHeader(file, offset, *frame))
            break;
    }
    if (frames == kMaxFrames || (frames < kMinFrames && offset - start != counted))
        return std::nullopt;
    // Cut inside a tag, the sound still ends whole.
    return file.endIfReadable(trailingTagsEnd(file, offset).value_or(offset));
}

std::optional<std::uint64_t> aacEnd(FormatEndReader& file)
{
    const auto first = adtsFrame(file, 0);
    std::uint64_t offset = 0, frames = 0;
    for (auto frame = first; frame && frame->fixed == first->fixed && frames < kMaxFrames; frame = adtsFrame(file, offset)) {
        if (frame->bytes > file.limit() - offset || !file.byteAt(offset + frame->bytes - 1))
            break;
        offset += frame->bytes;
        ++frames;
    }
    if (frames < kMinFrames || frames == kMaxFrames)
        return std::nullopt;
    return file.endIfReadable(trailingTagsEnd(file, offset).value_or(offset));
}

} // namespace salvyn
