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
#include <span>

namespace salvyn {

namespace {

// Input is fed to the decoders in pieces of this size; their output lands in a scratch
// buffer of this size and is overwritten at once.
constexpr std::size_t kPieceBytes = 32 * 1024;
// BGZF writes gzip members of 64 KiB and pbzip2 a bzip2 stream per 900 kB block, so a
// million streams fill the largest limit; a longer chain of tiny ones is no real file,
// and each costs the decoder a fresh start.
constexpr std::size_t kMaxStreams = 1 << 20;
// xz stream padding: zero bytes in groups of four between streams.
constexpr std::uint64_t kXzPaddingGroup = 4;
constexpr std::uint64_t kSectorBytes = 512;
// xz -9 decodes in 65 MiB; a stream whose header asks for more memory than this is not
// decoded, so a hostile header cannot make a save allocate gigabytes.
constexpr std::uint64_t kXzMemoryLimit = 256 * 1024 * 1024;

// The file's bytes handed to a decoder a piece at a time. The piece outlives one stream,
// so a file of many small streams is read once.
class DecoderInput {
public:
    DecoderInput(FormatEndReader& file, std::uint64_t from) : m_file(file), m_pieceAt(from), m_next(from) {}

    // The bytes not yet consumed, read on from the file when all are; empty at the limit
    // or the medium's end.
    std::span<std::uint8_t> available()
    {
        if (m_used == m_pieceBytes) {
            m_pieceAt = m_next;
            m_pieceBytes = m_file.readUpTo(m_next, m_piece.data(), m_piece.size());
            m_next += m_pieceBytes;
            m_used = 0;
        }
        return std::span(m_piece).subspan(m_used, m_pieceBytes - m_used);
    }
    void consume(std::size_t bytes) { m_used += bytes; }
    // The file offset of the first byte not yet consumed.
    std::uint64_t position() const { return m_pieceAt + m_used; }
    // Goes on at `offset`, at or after the position.
    void skipTo(std::uint64_t offset)
    {
        if (offset < m_pieceAt + m_pieceBytes) {
            m_used = static_cast<std::size_t>(offset - m_pieceAt);
        } else {
            m_next = offset;
            m_used = m_pieceBytes;
        }
    }

private:
    FormatEndReader& m_file;
    std::array<std::uint8_t, kPieceBytes> m_piece;
    std::uint64_t m_pieceAt;
    std::uint64_t m_next;
    std::size_t m_pieceBytes = 0;
    std::size_t m_used = 0;
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

// Inflates one zlib or gzip stream from the input; true when it ended whole.
bool inflateOneStream(z_stream& stream, DecoderInput& input)
{
    std::array<Bytef, kPieceBytes> scratch;
    int result = Z_OK;
    while (result == Z_OK) {
        auto in = input.available();
        if (in.empty())
            return false;
        stream.next_in = in.data();
        stream.avail_in = static_cast<uInt>(in.size());
        stream.next_out = scratch.data();
        stream.avail_out = static_cast<uInt>(scratch.size());
        result = inflate(&stream, Z_NO_FLUSH);
        input.consume(in.size() - stream.avail_in);
    }
    return result == Z_STREAM_END;
}

} // namespace

std::optional<InflatedStream> inflatedStream(FormatEndReader& file, std::uint64_t from, int windowBits)
{
    z_stream stream{};
    if (inflateInit2(&stream, windowBits) != Z_OK)
        return std::nullopt;
    std::unique_ptr<z_stream, decltype(&inflateEnd)> guard(&stream, inflateEnd);
    DecoderInput input(file, from);
    if (!inflateOneStream(stream, input))
        return std::nullopt;
    return InflatedStream{input.position(), stream.total_out};
}

std::optional<std::uint64_t> gzipEnd(FormatEndReader& file)
{
    if (!startsGzipMember(file, 0))
        return std::nullopt;
    z_stream stream{};
    // 16 + 15: a gzip header and trailer around deflate data with a 32 KiB window.
    if (inflateInit2(&stream, 16 + 15) != Z_OK)
        return std::nullopt;
    std::unique_ptr<z_stream, decltype(&inflateEnd)> guard(&stream, inflateEnd);
    DecoderInput input(file, 0);
    for (std::size_t member = 0; member < kMaxStreams; ++member) {
        if (!inflateOneStream(stream, input))
            return std::nullopt;
        if (!startsGzipMember(file, input.position()))
            return file.endIfReadable(input.position());
        inflateReset(&stream);
    }
    return std::nullopt;
}

std::optional<std::uint64_t> bzip2End(FormatEndReader& file)
{
    if (!startsBzip2Stream(file, 0))
        return std::nullopt;
    DecoderInput input(file, 0);
    std::array<char, kPieceBytes> scratch;
    for (std::size_t streams = 0; streams < kMaxStreams; ++streams) {
        bz_stream stream{};
        if (BZ2_bzDecompressInit(&stream, 0, 0) != BZ_OK)
            return std::nullopt;
        std::unique_ptr<bz_stream, decltype(&BZ2_bzDecompressEnd)> guard(&stream, BZ2_bzDecompressEnd);
        int result = BZ_OK;
        while (result == BZ_OK) {
            auto in = input.available();
            if (in.empty())
                return std::nullopt;
            stream.next_in = reinterpret_cast<char*>(in.data());
            stream.avail_in = static_cast<unsigned>(in.size());
            stream.next_out = scratch.data();
            stream.avail_out = static_cast<unsigned>(scratch.size());
            result = BZ2_bzDecompress(&stream);
            input.consume(in.size() - stream.avail_in);
        }
        if (result != BZ_STREAM_END)
            return std::nullopt;
        if (!startsBzip2Stream(file, input.position()))
            return file.endIfReadable(input.position());
    }
    return std::nullopt;
}

std::optional<std::uint64_t> xzEnd(FormatEndReader& file)
{
    if (!startsXzStream(file, 0))
        return std::nullopt;
    DecoderInput input(file, 0);
    std::array<std::uint8_t, kPieceBytes> scratch;
    for (std::size_t streams = 0; streams < kMaxStreams; ++streams) {
        // One stream at a time: a decoder of concatenated streams would not say where the
        // last one ended, which is this file's end.
        lzma_stream stream = LZMA_STREAM_INIT;
        if (lzma_stream_decoder(&stream, kXzMemoryLimit, 0) != LZMA_OK)
            return std::nullopt;
        std::unique_ptr<lzma_stream, decltype(&lzma_end)> guard(&stream, lzma_end);
        lzma_ret result = LZMA_OK;
        while (result == LZMA_OK) {
            auto in = input.available();
            if (in.empty())
                return std::nullopt;
            stream.next_in = in.data();
            stream.avail_in = in.size();
            stream.next_out = scratch.data();
            stream.avail_out = scratch.size();
            result = lzma_code(&stream, LZMA_RUN);
            input.consume(in.size() - stream.avail_in);
        }
        if (result != LZMA_STREAM_END)
            return std::nullopt;
        auto next = nextXzStream(file, input.position());
        if (!next)
            return file.endIfReadable(input.position());
        input.skipTo(*next);
    }
    return std::nullopt;
}

std::optional<std::uint64_t> zstdEnd(FormatEndReader& file)
{
    if (!startsZstdFrame(file, 0))
        return std::nullopt;
    std::unique_ptr<ZSTD_DCtx, decltype(&ZSTD_freeDCtx)> context(ZSTD_createDCtx(), ZSTD_freeDCtx);
    if (!context)
        return std::nullopt;
    DecoderInput input(file, 0);
    std::array<std::uint8_t, kPieceBytes> scratch;
    std::size_t frames = 0;
    while (frames < kMaxStreams) {
        auto piece = input.available();
        if (piece.empty())
            return std::nullopt;
        ZSTD_inBuffer in{piece.data(), piece.size(), 0};
        ZSTD_outBuffer out{scratch.data(), scratch.size(), 0};
        // Skippable frames are stepped over by the decoder itself; zero means a frame
        // was decoded and flushed, and the input stops right after it.
        const std::size_t result = ZSTD_decompressStream(context.get(), &out, &in);
        input.consume(in.pos);
        if (ZSTD_isError(result))
            return std::nullopt;
        if (result == 0) {
            ++frames;
            if (!startsZstdFrame(file, input.position()))
                return file.endIfReadable(input.position());
        }
    }
    return std::nullopt;
}

} // namespace salvyn
