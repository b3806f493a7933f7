// Format ends of sound files with their own sizes or fixed-size frames: MIDI, AMR, Sun
// audio, Core Audio, Monkey's Audio and WavPack.
#include "results/formatendaudiotags.h"
#include "results/formatends.h"

#include <array>
#include <cstring>
#include <string_view>

namespace salvyn {

namespace {

// Four days of AMR at 50 frames a second; the cap keeps a walk over a run of one-byte
// look-alike frames short.
constexpr std::uint64_t kMaxAmrFrames = 1ull << 24;
// Frame lengths by frame type, header byte included; 0 for types no file holds.
constexpr std::array<std::uint8_t, 16> kAmrFrameBytes = {13, 14, 16, 18, 20, 21, 27, 32, 6, 0, 0, 0, 0, 0, 0, 1};
constexpr std::array<std::uint8_t, 16> kAmrWideFrameBytes = {18, 24, 33, 37, 41, 47, 51, 59, 61, 6, 0, 0, 0, 0, 1, 1};

// Chunks of other kinds that a MIDI file may hold between its tracks; a real file has none or few.
constexpr unsigned kMaxMidiOtherChunks = 64;

// Chunk types of the Core Audio format; anything else after a chunk is not this file's.
constexpr std::array<std::string_view, 17> kCafChunks = {"desc", "data", "pakt", "chan", "kuki", "strg",
                                                         "mark", "regn", "inst", "midi", "ovvw", "peak",
                                                         "edct", "info", "umid", "uuid", "free"};
constexpr std::uint64_t kCafChunkHeaderBytes = 12;
// Real files hold a dozen chunks; this many is a chain of empty look-alikes.
constexpr unsigned kMaxCafChunks = 1024;

constexpr std::uint64_t kApeDescriptorBytes = 52;
constexpr std::uint64_t kApeHeaderBytes = 24;

constexpr std::uint64_t kWavPackHeaderBytes = 32;
// WavPack blocks hold at most a megabyte and a few seconds of sound each, so this many is
// weeks of sound; the cap bounds a walk over tiny look-alike blocks.
constexpr std::uint64_t kMaxWavPackBlocks = 1ull << 24;
constexpr std::uint32_t kWavPackMaxBlockBytes = 1u << 20;
constexpr std::uint32_t kWavPackInitialBlock = 1u << 11;

bool isPrintableId(FormatEndReader& file, std::uint64_t offset)
{
    std::uint8_t id[4];
    if (!file.read(offset, id, sizeof id))
        return false;
    for (std::uint8_t c : id)
        if (c < 0x20 || c > 0x7E)
            return false;
    return true;
}

std::optional<std::uint64_t> standardMidiEnd(FormatEndReader& file)
{
    auto headerBytes = file.be32(4);
    auto format = file.be16(8);
    auto tracks = file.be16(10);
    if (!file.matches(0, "MThd") || !headerBytes || *headerBytes < 6 || !format || *format > 2 || !tracks || *tracks == 0)
        return std::nullopt;
    std::uint64_t offset = 8 + std::uint64_t{*headerBytes};
    unsigned tracksSeen = 0, otherChunks = 0;
    while (tracksSeen < *tracks) {
        auto bytes = file.be32(offset + 4);
        if (!bytes || !isPrintableId(file, offset))
            return std::nullopt;
        const std::uint64_t end = offset + 8 + *bytes;
        if (file.matches(offset, "MTrk")) {
            // Every track closes with its end-of-track event.
            if (*bytes < 3 || !file.matches(end - 3, std::string_view("\xFF\x2F\x00", 3)))
                return std::nullopt;
            ++tracksSeen;
        } else if (++otherChunks > kMaxMidiOtherChunks) {
            return std::nullopt;
        }
        offset = end;
    }
    return file.endIfReadable(offset);
}

bool isCafChunk(FormatEndReader& file, std::uint64_t offset)
{
    for (std::string_view type : kCafChunks)
        if (file.matches(offset, type))
            return true;
    return false;
}

struct WavPackBlock {
    std::uint64_t bytes;
    std::uint64_t index;
    std::uint32_t samples;
    std::uint32_t flags;
    std::uint16_t version;
    std::optional<std::uint64_t> totalSamples;  // none when the writer did not know it; some write it in the first block only
};

std::optional<WavPackBlock> wavPackBlock(FormatEndReader& file, std::uint64_t offset)
{
    std::uint8_t h[kWavPackHeaderBytes];
    if (!file.read(offset, h, sizeof h) || std::memcmp(h, "wvpk", 4) != 0)
        return std::nullopt;
    auto le32 = [&](int at) { return std::uint32_t{h[at]} | h[at + 1] << 8 | h[at + 2] << 16 | std::uint32_t{h[at + 3]} << 24; };
    const std::uint32_t blockBytes = le32(4);
    const std::uint16_t version = static_cast<std::uint16_t>(h[8] | h[9] << 8);
    if (blockBytes < kWavPackHeaderBytes - 8 || blockBytes > kWavPackMaxBlockBytes || version < 0x402 || version > 0x410)
        return std::nullopt;
    WavPackBlock block{8 + std::uint64_t{blockBytes}, std::uint64_t{h[10]} << 32 | le32(16), le32(20), le32(24), version, {}};
    // Counts past 32 bits use a high byte whose meaning varies between versions; such
    // files are walked as if their total were unknown.
    if (h[11] == 0 && le32(12) != 0xFFFFFFFFu)
        block.totalSamples = le32(12);
    return block;
}

} // namespace

std::optional<std::uint64_t> midiEnd(FormatEndReader& file)
{
    if (file.matches(0, "RIFF"))
        return file.matches(8, "RMID") ? riffEnd(file) : std::nullopt;
    return standardMidiEnd(file);
}

std::optional<std::uint64_t> amrEnd(FormatEndReader& file)
{
    const bool wide = file.matches(0, "#!AMR-WB\n");
    if (!wide && !file.matches(0, "#!AMR\n"))
        return std::nullopt;
    const auto& frameBytes = wide ? kAmrWideFrameBytes : kAmrFrameBytes;
    std::uint64_t offset = wide ? 9 : 6, frames = 0;
    for (; frames < kMaxAmrFrames; ++frames) {
        auto header = file.byteAt(offset);
        // Padding bits clear and the quality bit set, as encoders write every frame; zeroed
        // free space after the file fails here.
        if (!header || (*header & 0x83) != 0 || !(*header & 0x04))
            break;
        const std::uint64_t bytes = frameBytes[(*header >> 3) & 15];
        if (bytes == 0 || !file.byteAt(offset + bytes - 1))
            break;
        offset += bytes;
    }
    if (frames == 0 || frames == kMaxAmrFrames)
        return std::nullopt;
    return file.endIfReadable(offset);
}

std::optional<std::uint64_t> auEnd(FormatEndReader& file)
{
    auto dataOffset = file.be32(4);
    auto dataBytes = file.be32(8);
    auto encoding = file.be32(12);
    auto sampleRate = file.be32(16);
    auto channels = file.be32(20);
    // A data size of all ones is what a writer that could not go back leaves.
    if (!file.matches(0, ".snd") || !dataOffset || *dataOffset < 24 || !dataBytes || !encoding
        || *encoding == 0 || *encoding > 27 || !sampleRate || *sampleRate == 0 || !channels || *channels == 0)
        return std::nullopt;
    if (*dataBytes == 0xFFFFFFFFu)
        return file.startWithoutEnd();
    return file.endIfReadable(std::uint64_t{*dataOffset} + *dataBytes);
}

std::optional<std::uint64_t> cafEnd(FormatEndReader& file)
{
    if (!file.matches(0, std::string_view("caff\0\1\0\0", 8)) || !file.matches(8, "desc"))
        return std::nullopt;
    std::uint64_t offset = 8;
    bool dataSeen = false;
    for (unsigned chunks = 0; isCafChunk(file, offset); ++chunks) {
        auto bytes = file.be64(offset + 4);
        const bool data = file.matches(offset, "data");
        // A data chunk of size -1 runs to the end of the file, which the file does not say.
        if (data && bytes == ~std::uint64_t{0})
            return file.startWithoutEnd();
        if (!bytes || chunks == kMaxCafChunks || *bytes > file.limit() - offset - kCafChunkHeaderBytes)
            return std::nullopt;
        dataSeen = dataSeen || data;
        offset += kCafChunkHeaderBytes + *bytes;
    }
    if (!dataSeen)
        return std::nullopt;
    return file.endIfReadable(offset);
}

std::optional<std::uint64_t> apeEnd(FormatEndReader& file)
{
    std::uint8_t d[kApeDescriptorBytes];
    if (!file.read(0, d, sizeof d) || std::memcmp(d, "MAC ", 4) != 0)
        return std::nullopt;
    auto le32 = [&](int at) { return std::uint64_t{d[at]} | d[at + 1] << 8 | d[at + 2] << 16 | std::uint64_t{d[at + 3]} << 24; };
    // Before version 3.98 the header holds no byte counts, so the length cannot be read from it.
    const unsigned version = d[4] | d[5] << 8;
    const std::uint64_t descriptorBytes = le32(8), headerBytes = le32(12);
    if (version < 3980 || descriptorBytes < kApeDescriptorBytes || headerBytes < kApeHeaderBytes)
        return std::nullopt;
    std::uint8_t h[kApeHeaderBytes];
    if (!file.read(descriptorBytes, h, sizeof h))
        return std::nullopt;
    const unsigned compression = h[0] | h[1] << 8, bitsPerSample = h[16] | h[17] << 8, channels = h[18] | h[19] << 8;
    if (compression == 0 || compression % 1000 != 0 || compression > 5000 || channels == 0 || channels > 32
        || (bitsPerSample != 8 && bitsPerSample != 16 && bitsPerSample != 24 && bitsPerSample != 32))
        return std::nullopt;
    // Descriptor, header, seek table, the WAV header kept from the source, the frames
    // (a 64-bit count) and the WAV data kept after the sound.
    const std::uint64_t soundEnd = descriptorBytes + headerBytes + le32(16) + le32(20) + (le32(24) | le32(28) << 32) + le32(32);
    auto end = trailingTagsEnd(file, soundEnd);
    return end ? file.endIfReadable(*end) : std::nullopt;
}

std::optional<std::uint64_t> wavPackEnd(FormatEndReader& file)
{
    const auto first = wavPackBlock(file, 0);
    if (!first)
        return std::nullopt;
    // A block that opens a group of channels carries on where the group before ended;
    // the blocks of the rest of a group repeat their group's start. A new file starts over.
    std::uint64_t offset = 0, groupIndex = first->index, nextIndex = first->index, blocks = 0;
    for (auto block = first; block && blocks < kMaxWavPackBlocks; block = wavPackBlock(file, offset), ++blocks) {
        const bool opensGroup = block->flags & kWavPackInitialBlock;
        if (block->version != first->version || block->index != (opensGroup ? nextIndex : groupIndex))
            break;
        if (!file.byteAt(offset + block->bytes - 1))
            return std::nullopt;
        if (opensGroup) {
            groupIndex = block->index;
            nextIndex = block->index + block->samples;
        }
        offset += block->bytes;
    }
    if (blocks == kMaxWavPackBlocks || (first->totalSamples && nextIndex != *first->totalSamples))
        return std::nullopt;
    auto end = trailingTagsEnd(file, offset);
    return end ? file.endIfReadable(*end) : std::nullopt;
}

} // namespace salvyn
