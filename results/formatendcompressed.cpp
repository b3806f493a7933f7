// Format ends of compressed streams: gzip, bzip2, xz and Zstandard. Their data says
// nowhere how long it is, so each file is decompressed by its own library, the output
// thrown away, and the file ends where the library finds its last stream's end. A file
// may hold several streams back to back (`cat a.gz b.gz`), which is as valid as one.
#include "results/formatendinflate.h"
#include "results/formatends.h"

#include <bzlib.h>
#include <lzma.h>
#include <zlib.h>
#include <zstd.h>

#include <array>
#include <memory>

namespace salvyn {

namespace {

// Input is fed to the decoders in pieces of this size; their output lands in a scratch
// buffer of this size and is overwritten at once.
constexpr std::size_t kPieceBytes = 32 * 1024;
// xz stream padding: zero bytes in groups of four between streams.
constexpr std::size_t kXzPaddingGroup = 4;
constexpr std::uint64_t kSectorBytes = 512;
// xz -9 decodes in 65 MiB; a stream whose header asks for more memory than this is not
// decoded, so a hostile header cannot make a save allocate gigabytes.
constexpr std::uint64_t kXzMemoryLimit = 256 * 1024 * 1024;

// The file's bytes handed to a decoder a piece at a time: what it was given and has not
// yet consumed, and the offset of the next byte to give it.
class DecoderInput {
public:
    explicit DecoderInput(FormatEndReader& file, std::uint64_t from = 0) : m_file(file), m_next(from) {}

    // Refills the piece when the decoder has consumed all of it; false at the limit or the
    // medium's end.
    bool refill(std::size_t unconsumed)
    {
        if (unconsumed > 0)
            return true;
        m_pieceBytes = m_file.readUpTo(m_next, m_piece.data(), m_piece.size());
        m_next += m_pieceBytes;
        return m_pieceBytes > 0;
    }
    std::uint8_t* piece() { return m_piece.data(); }
    std::size_t pieceBytes() const { return m_pieceBytes; }
    // The file offset of the first byte the decoder has not consumed.
    std::uint64_t position(std::size_t unconsumed) const { return m_next - unconsumed; }
    // Starts over at `offset`, dropping what is left of the piece.
    void restartAt(std::uint64_t offset)
    {
        m_next = offset;
        m_pieceBytes = 0;
    }

private:
    FormatEndReader& m_file;
    std::uint64_t m_next;
    std::array<std::uint8_t, kPieceBytes> m_piece;
    std::size_t m_pieceBytes = 0;
};

bool startsGzipMember(FormatEndReader& file, std::uint64_t offset) { return file.matches(offset, "\x1F\x8B\x08"); }

bool startsBzip2Stream(FormatEndReader& file, std::uint64_t offset)
{
    auto level = file.byteAt(offset + 3);
    return file.matches(offset, "BZh") && level && *level >= '1' && *level <= '9';
}

bool startsXzStream(FormatEndReader& file, std::uint64_t offset)
{
    return file.matches(offset, std::string_view("\xFD" "7zXZ\0", 6));
}

bool startsZstdFrame(FormatEndReader& file, std::uint64_t offset)
{
    auto magic = file.le32(offset);
    return magic && (*magic == 0xFD2FB528u || (*magic & 0xFFFFFFF0u) == 0x184D2A50u);
}

// Where the next xz stream begins after the padding that may follow `offset`. Every file a
// search finds starts on a sector, so a stream that begins on one after zero bytes is taken
// for the next file and the padding for free space.
std::optional<std::uint64_t> nextXzStream(FormatEndReader& file, std::uint64_t offset)
{
    std::uint64_t at = offset;
    while (file.le32(at) == 0u) {
        at += kXzPaddingGroup;
        if (at % kSectorBytes == 0)
            return std::nullopt;
    }
    return startsXzStream(file, at) ? std::optional(at) : std::nullopt;
}

} // namespace

std::optional<InflatedStream> inflatedStream(FormatEndReader& file, std::uint64_t from, int windowBits)
{
    z_stream stream{};
    if (inflateInit2(&stream, windowBits) != Z_OK)
        return std::nullopt;
    std::unique_ptr<z_stream, decltype(&inflateEnd)> guard(&stream, inflateEnd);
    DecoderInput input(file, from);
    std::array<Bytef, kPieceBytes> scratch;
    int result = Z_OK;
    while (result == Z_OK) {
        if (!input.refill(stream.avail_in))
            return std::nullopt;
        if (stream.avail_in == 0) {
            stream.next_in = input.piece();
            stream.avail_in = static_cast<uInt>(input.pieceBytes());
        }
        stream.next_out = scratch.data();
        stream.avail_out = static_cast<uInt>(scratch.size());
        result = inflate(&stream, Z_NO_FLUSH);
    }
    if (result != Z_STREAM_END)
        return std::nullopt;
    return InflatedStream{input.position(stream.avail_in), stream.total_out};
}

std::optional<std::uint64_t> gzipEnd(FormatEndReader& file)
{
    if (!startsGzipMember(file, 0))
        return std::nullopt;
    std::uint64_t offset = 0;
    do {
        // 16 + 15: a gzip header and trailer around deflate data with a 32 KiB window.
        auto member = inflatedStream(file, offset, 16 + 15);
        if (!member)
            return std::nullopt;
        offset = member->end;
    } while (startsGzipMember(file, offset));
    return file.endIfReadable(offset);
}

std::optional<std::uint64_t> bzip2End(FormatEndReader& file)
{
    if (!startsBzip2Stream(file, 0))
        return std::nullopt;
    DecoderInput input(file);
    std::array<char, kPieceBytes> scratch;
    std::uint64_t streamStart = 0;
    for (;;) {
        bz_stream stream{};
        if (BZ2_bzDecompressInit(&stream, 0, 0) != BZ_OK)
            return std::nullopt;
        std::unique_ptr<bz_stream, decltype(&BZ2_bzDecompressEnd)> guard(&stream, BZ2_bzDecompressEnd);
        input.restartAt(streamStart);
        int result = BZ_OK;
        while (result == BZ_OK) {
            if (!input.refill(stream.avail_in))
                return std::nullopt;
            if (stream.avail_in == 0) {
                stream.next_in = reinterpret_cast<char*>(input.piece());
                stream.avail_in = static_cast<unsigned>(input.pieceBytes());
            }
            stream.next_out = scratch.data();
            stream.avail_out = static_cast<unsigned>(scratch.size());
            result = BZ2_bzDecompress(&stream);
        }
        if (result != BZ_STREAM_END)
            return std::nullopt;
        streamStart = input.position(stream.avail_in);
        if (!startsBzip2Stream(file, streamStart))
            return file.endIfReadable(streamStart);
    }
}

std::optional<std::uint64_t> xzEnd(FormatEndReader& file)
{
    if (!startsXzStream(file, 0))
        return std::nullopt;
    DecoderInput input(file);
    std::array<std::uint8_t, kPieceBytes> scratch;
    std::uint64_t streamStart = 0;
    for (;;) {
        // One stream at a time: a decoder of concatenated streams would not say where the
        // last one ended, which is this file's end.
        lzma_stream stream = LZMA_STREAM_INIT;
        if (lzma_stream_decoder(&stream, kXzMemoryLimit, 0) != LZMA_OK)
            return std::nullopt;
        std::unique_ptr<lzma_stream, decltype(&lzma_end)> guard(&stream, lzma_end);
        input.restartAt(streamStart);
        lzma_ret result = LZMA_OK;
        while (result == LZMA_OK) {
            if (!input.refill(stream.avail_in))
                return std::nullopt;
            if (stream.avail_in == 0) {
                stream.next_in = input.piece();
                stream.avail_in = input.pieceBytes();
            }
            stream.next_out = scratch.data();
            stream.avail_out = scratch.size();
            result = lzma_code(&stream, LZMA_RUN);
        }
        if (result != LZMA_STREAM_END)
            return std::nullopt;
        const std::uint64_t streamEnd = input.position(stream.avail_in);
        auto next = nextXzStream(file, streamEnd);
        if (!next)
            return file.endIfReadable(streamEnd);
        streamStart = *next;
    }
}

std::optional<std::uint64_t> zstdEnd(FormatEndReader& file)
{
    if (!startsZstdFrame(file, 0))
        return std::nullopt;
    std::unique_ptr<ZSTD_DCtx, decltype(&ZSTD_freeDCtx)> context(ZSTD_createDCtx(), ZSTD_freeDCtx);
    if (!context)
        return std::nullopt;
    DecoderInput input(file);
    std::array<std::uint8_t, kPieceBytes> scratch;
    ZSTD_inBuffer in{nullptr, 0, 0};
    for (;;) {
        if (!input.refill(in.size - in.pos))
            return std::nullopt;
        if (in.pos == in.size)
            in = ZSTD_inBuffer{input.piece(), input.pieceBytes(), 0};
        ZSTD_outBuffer out{scratch.data(), scratch.size(), 0};
        // Skippable frames are stepped over by the decoder itself; zero means a frame
        // was decoded and flushed, and the input stops right after it.
        const std::size_t result = ZSTD_decompressStream(context.get(), &out, &in);
        if (ZSTD_isError(result))
            return std::nullopt;
        if (result == 0) {
            const std::uint64_t frameEnd = input.position(in.size - in.pos);
            if (!startsZstdFrame(file, frameEnd))
                return file.endIfReadable(frameEnd);
        }
    }
}

} // namespace salvyn
