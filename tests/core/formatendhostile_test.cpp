// Format ends on broken, truncated and hostile structures: "unknown" or a bounded length,
// never a crash, a loop or a read past the limit.
#include "doubles/memorymedium.h"
#include "doubles/samplefiles.h"
#include "results/formatendchecksums.h"
#include "results/formatends.h"
#include "results/formatendtable.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <string>

namespace salvyn {
namespace {

using test::MemoryMedium;
using Bytes = std::vector<std::uint8_t>;

Bytes text(std::string_view s) { return Bytes(s.begin(), s.end()); }
Bytes be32(std::uint32_t v) { return {std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)}; }
Bytes le32(std::uint32_t v) { return {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)}; }
Bytes be64(std::uint64_t v) { Bytes b = be32(std::uint32_t(v >> 32)), l = be32(std::uint32_t(v)); b.insert(b.end(), l.begin(), l.end()); return b; }
Bytes operator+(Bytes a, const Bytes& b) { a.insert(a.end(), b.begin(), b.end()); return a; }
Bytes zeros(std::size_t n) { return Bytes(n, 0); }
Bytes flipped(Bytes bytes, std::size_t at, std::uint8_t mask = 1) { bytes.at(at) ^= mask; return bytes; }

// Answers `end` over `bytes` laid at byte 0, with `limit` (the medium's size by default).
std::optional<std::uint64_t> endOf(FormatEndFunction end, const Bytes& bytes, std::uint64_t limit = 0)
{
    MemoryMedium medium(bytes);
    FormatEndReader file(medium, 0, limit ? limit : bytes.size() + 4096);
    auto answer = end(file);
    EXPECT_LE(medium.furthestAsked(), file.limit());
    return answer;
}

// A crafted file and the length its format end must answer, checked with `trailing` zero
// bytes after it.
struct EndCase {
    const char* name;
    FormatEndFunction end;
    Bytes file;
    std::optional<std::uint64_t> expected;
};
void expectEnds(std::initializer_list<EndCase> cases, std::size_t trailing = 0)
{
    for (const EndCase& c : cases)
        EXPECT_EQ(endOf(c.end, c.file + zeros(trailing)), c.expected) << c.name;
}

Bytes isoBox(std::string_view type, std::size_t payload) { return be32(std::uint32_t(8 + payload)) + text(type) + zeros(payload); }

TEST(FormatEndHostile, JpegScanDataWithRestartsStuffingAndFill)
{
    const Bytes scanHeader = {0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3F, 0x00};
    const Bytes data = {0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD0, 0x56, 0xFF, 0xFF, 0xD1, 0x78};
    const Bytes jpeg = Bytes{0xFF, 0xD8} + Bytes{0xFF, 0xFE, 0x00, 0x04, 'h', 'i'} + scanHeader + data + Bytes{0xFF, 0xFF, 0xD9};
    EXPECT_EQ(endOf(jpegEnd, jpeg + text("trailing bytes")), jpeg.size());
    // No EOI: the next file's bytes are never taken for the rest of this one.
    EXPECT_EQ(endOf(jpegEnd, Bytes(jpeg.begin(), jpeg.end() - 2) + zeros(600)), std::nullopt);
    // An EOI before any scan data is a thumbnail's or a header's, not a photo's end.
    EXPECT_EQ(endOf(jpegEnd, Bytes{0xFF, 0xD8, 0xFF, 0xD9} + zeros(10)), std::nullopt);
    EXPECT_EQ(endOf(jpegEnd, Bytes{0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x01} + zeros(10)), std::nullopt);
}

TEST(FormatEndHostile, JpegWithAnExifThumbnailEndsAtItsOwnEoi)
{
    const test::Sample& photo = test::sampleFor(test::recipeNamed("Jpeg"));
    if (!photo.skipReason.empty())
        GTEST_SKIP() << photo.skipReason;
    // APP1 "Exif" with a whole JPEG inside, as cameras store their thumbnails.
    const Bytes app1Body = text(std::string_view("Exif\0\0", 6)) + photo.bytes;
    const std::size_t app1Length = app1Body.size() + 2;
    ASSERT_LT(app1Length, 65536u);
    const Bytes jpeg = Bytes{0xFF, 0xD8, 0xFF, 0xE1, std::uint8_t(app1Length >> 8), std::uint8_t(app1Length)} + app1Body
        + Bytes(photo.bytes.begin() + 2, photo.bytes.end());
    EXPECT_EQ(endOf(jpegEnd, jpeg + photo.bytes), jpeg.size());
}

Bytes bmp(std::uint32_t declaredSize, std::uint32_t width, std::int32_t height, std::uint16_t planes, std::uint32_t compression)
{
    return text("BM") + le32(declaredSize) + le32(0) + le32(54) + le32(40) + le32(width) + le32(std::uint32_t(height))
        + Bytes{std::uint8_t(planes), 0, 24, 0} + le32(compression) + zeros(20);
}

TEST(FormatEndHostile, IsoMediaBoxWalk)
{
    const Bytes ftyp = be32(20) + text("ftypisom") + be32(0) + text("isom");
    const Bytes movie = ftyp + isoBox("moov", 40) + isoBox("mdat", 100);
    EXPECT_EQ(endOf(isoMediaEnd, movie + zeros(512)), movie.size());
    EXPECT_EQ(endOf(isoMediaEnd, movie + ftyp + isoBox("moov", 8)), movie.size()) << "the next file's ftyp";
    // A 64-bit mdat size.
    const Bytes large = ftyp + isoBox("moov", 8) + be32(1) + text("mdat") + be64(16 + 300) + zeros(300);
    EXPECT_EQ(endOf(isoMediaEnd, large + zeros(64)), large.size());
    EXPECT_EQ(endOf(isoMediaEnd, ftyp + isoBox("moov", 8) + be32(1) + text("mdat") + be64(8) + zeros(64)), std::nullopt);
    EXPECT_EQ(endOf(isoMediaEnd, ftyp + isoBox("moov", 8) + be32(1) + text("mdat") + be64(~0ull) + zeros(64)), std::nullopt);
    // To the end of the file, which the walk cannot know.
    EXPECT_EQ(endOf(isoMediaEnd, ftyp + isoBox("moov", 8) + be32(0) + text("mdat") + zeros(64)), std::nullopt);
    // Sizes that would not move the walk on.
    EXPECT_EQ(endOf(isoMediaEnd, ftyp + be32(4) + text("free") + zeros(64)), std::nullopt);
    EXPECT_EQ(endOf(isoMediaEnd, ftyp + isoBox("moov", 8) + be32(7) + text("free") + zeros(64)), std::nullopt);
    // A box pointing past the medium.
    EXPECT_EQ(endOf(isoMediaEnd, ftyp + isoBox("moov", 8) + be32(0x10000000) + text("mdat") + zeros(64)), std::nullopt);
    // Nothing to play.
    EXPECT_EQ(endOf(isoMediaEnd, ftyp + isoBox("free", 16) + isoBox("mdat", 16) + zeros(64)), std::nullopt);
}

TEST(FormatEndHostile, AMillionTinyIsoBoxesAreWalkedWithoutRecursionOrRereading)
{
    constexpr std::size_t kBoxes = 1000000;
    const Bytes ftyp = be32(20) + text("ftypisom") + be32(0) + text("isom");
    Bytes freeChain;
    freeChain.reserve(8 * kBoxes);
    for (std::size_t i = 0; i < kBoxes; ++i)
        freeChain = std::move(freeChain) + isoBox("free", 0);
    // One moov holding a million boxes, each inside the one before.
    Bytes nested = ftyp;
    nested.reserve(ftyp.size() + 8 * kBoxes);
    for (std::size_t i = 0; i < kBoxes; ++i)
        nested = std::move(nested) + be32(std::uint32_t(8 * (kBoxes - i))) + text(i == 0 ? "moov" : "trak");
    const struct {
        const char* name;
        Bytes file;
        bool answered;
    } cases[] = {
        {"free boxes after the movie", ftyp + isoBox("moov", 8) + freeChain, true},
        {"free boxes and nothing to play", ftyp + freeChain, false},
        {"nested boxes", nested, true},
    };
    for (const auto& c : cases) {
        MemoryMedium medium(c.file + zeros(64));
        FormatEndReader file(medium, 0, c.file.size() + 4096);
        const auto length = isoMediaEnd(file);
        EXPECT_EQ(length, c.answered ? std::optional<std::uint64_t>(c.file.size()) : std::nullopt) << c.name;
        EXPECT_LE(medium.bytesAsked(), 3 * c.file.size() + 128 * 1024) << c.name;
    }
}

// Free boxes without end: the walk gives up within a bounded number of reads, never running
// across the whole medium one box at a time.
TEST(FormatEndHostile, AnEndlessChainOfTinyBoxesEndsTheWalk)
{
    class EndlessFreeBoxes : public ByteReader {
    public:
        std::size_t readAt(std::uint64_t offset, std::uint8_t* out, std::size_t size) override
        {
            static const Bytes ftyp = be32(16) + text("ftypisom") + be32(0);
            static const Bytes box = be32(8) + text("free");
            for (std::size_t i = 0; i < size; ++i)
                out[i] = offset + i < ftyp.size() ? ftyp[offset + i] : box[(offset + i - ftyp.size()) % 8];
            furthest = std::max(furthest, offset + size);
            return size;
        }
        std::uint64_t furthest = 0;
    } medium;
    FormatEndReader file(medium, 0, std::uint64_t{1} << 40);
    EXPECT_EQ(isoMediaEnd(file), std::nullopt);
    EXPECT_LT(medium.furthest, std::uint64_t{1} << 30);
}

TEST(FormatEndHostile, CanonRawLayout)
{
    // CR3: ftyp "crx ", moov, the XMP and preview uuid boxes, then mdat.
    const Bytes cr3 = be32(24) + text("ftypcrx ") + be32(1) + text("crx isom") + isoBox("moov", 200)
        + isoBox("uuid", 16 + 64) + isoBox("uuid", 16 + 500) + isoBox("mdat", 4000);
    MemoryMedium medium(cr3 + zeros(1024));
    EXPECT_EQ(formatEndLength(medium, "CR3", 0), cr3.size());
}

TEST(FormatEndHostile, MatroskaStreamedByFfmpegHasNoSize)
{
    const test::Sample streamed = test::runEncoder(
        "ffmpeg", "ffmpeg -v error -f lavfi -i testsrc=size=64x48:rate=25:duration=1 -c:v mpeg4 -f matroska - > out");
    if (!streamed.skipReason.empty())
        GTEST_SKIP() << streamed.skipReason;
    EXPECT_EQ(endOf(matroskaEnd, streamed.bytes + zeros(4096)), std::nullopt);
}

Bytes flvTag(std::uint8_t type, std::uint32_t dataBytes, std::uint32_t previousTagSize)
{
    return Bytes{type, std::uint8_t(dataBytes >> 16), std::uint8_t(dataBytes >> 8), std::uint8_t(dataBytes), 0, 0, 0, 0, 0, 0, 0}
        + zeros(dataBytes) + be32(previousTagSize);
}

TEST(FormatEndHostile, OggPageWithABrokenChecksum)
{
    const test::Sample& sample = test::sampleFor(test::recipeNamed("Ogg"));
    if (!sample.skipReason.empty())
        GTEST_SKIP() << sample.skipReason;
    EXPECT_EQ(endOf(oggEnd, flipped(sample.bytes, sample.bytes.size() / 2, 0x40) + zeros(512)), std::nullopt);
    EXPECT_EQ(endOf(oggEnd, flipped(sample.bytes, 4) + zeros(512)), std::nullopt) << "stream structure version 1";
}

Bytes pdfWithUpdate(const Bytes& pdf)
{
    // An incremental update: a new object, its cross-reference section and trailer.
    const std::string body = "9 0 obj\n<< /Note (updated) >>\nendobj\n";
    const std::string xrefAt = std::to_string(pdf.size() + body.size());
    const std::string update = body + "xref\n9 1\n" + std::string(10 - std::to_string(pdf.size()).size(), '0')
        + std::to_string(pdf.size()) + " 00000 n \ntrailer\n<< /Size 10 >>\nstartxref\n" + xrefAt + "\n%%EOF\n";
    return pdf + text(update);
}

TEST(FormatEndHostile, PdfIncrementalUpdatesAndRemnants)
{
    const test::Sample& sample = test::sampleFor(test::recipeNamed("Pdf"));
    if (!sample.skipReason.empty())
        GTEST_SKIP() << sample.skipReason;
    const Bytes updated = pdfWithUpdate(sample.bytes);
    EXPECT_EQ(endOf(pdfEnd, updated + zeros(700)), updated.size());
    // Free space holding the tail of an older, deleted PDF: its %%EOF is not ours.
    const Bytes remnant = text("\n0000 n \ntrailer\n<< /Size 3 >>\nstartxref\n12345\n%%EOF\n");
    EXPECT_EQ(endOf(pdfEnd, sample.bytes + zeros(300) + remnant + zeros(300)), sample.bytes.size());
    // Cut before its %%EOF.
    EXPECT_EQ(endOf(pdfEnd, Bytes(sample.bytes.begin(), sample.bytes.end() - 7) + zeros(2000)), std::nullopt);
    // Zeroed free space after the file is not read through to the limit for an update.
    MemoryMedium zeroedCard(sample.bytes + zeros(16 * 1024 * 1024));
    FormatEndReader file(zeroedCard, 0, zeroedCard.bytes().size());
    EXPECT_EQ(pdfEnd(file), sample.bytes.size());
    EXPECT_LE(zeroedCard.bytesAsked(), sample.bytes.size() + 128 * 1024);
}

TEST(FormatEndHostile, ZipEndRecordMustDescribeItsDirectory)
{
    const test::Sample& sample = test::sampleFor(test::recipeNamed("Zip"));
    if (!sample.skipReason.empty())
        GTEST_SKIP() << sample.skipReason;
    const std::size_t endRecord = sample.bytes.size() - 22;
    ASSERT_EQ(le32(0x06054b50), Bytes(sample.bytes.begin() + endRecord, sample.bytes.begin() + endRecord + 4));
    EXPECT_EQ(endOf(zipEnd, flipped(sample.bytes, endRecord + 16) + zeros(100)), std::nullopt) << "directory offset";
    EXPECT_EQ(endOf(zipEnd, flipped(sample.bytes, endRecord + 12, 0x04) + zeros(100)), std::nullopt) << "directory size";
    Bytes hugeEntry = sample.bytes;
    for (int i = 0; i < 4; ++i)
        hugeEntry[18 + i] = 0xFE;
    EXPECT_EQ(endOf(zipEnd, hugeEntry + zeros(100)), std::nullopt);
}

Bytes sqliteHeader(std::uint16_t pageSizeField, std::uint32_t pages, std::uint32_t validFor)
{
    Bytes header = text(std::string_view("SQLite format 3\0", 16)) + Bytes{std::uint8_t(pageSizeField >> 8), std::uint8_t(pageSizeField)}
        + Bytes{1, 1, 0, 64, 32, 32} + be32(7) + be32(pages) + zeros(92 - 32) + be32(validFor);
    return header + zeros(100 - header.size());
}

// A RAR 5 block: CRC32 of everything after it, then the header size, type, flags, fields.
Bytes rarBlock(std::uint8_t type, std::uint8_t flags, Bytes fields, const Bytes& data = {})
{
    Bytes header = Bytes{type, flags} + fields;
    Bytes sized = Bytes{std::uint8_t(header.size())} + header;
    return le32(crc32(sized.data(), sized.size())) + sized + data;
}

TEST(FormatEndHostile, SizesAndBlocksThatCannotBe)
{
    const Bytes pngHead = text("\x89PNG\r\n\x1A\n") + be32(13) + text("IHDR") + zeros(13 + 4);
    const Bytes pngEndChunk = be32(0) + text("IEND") + be32(0xAE426082);
    const Bytes gif = text("GIF89a") + Bytes{2, 0, 2, 0, 0x80, 0, 0} + zeros(6)  // screen + 2-colour table
        + Bytes{0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0, 2, 2, 0x4C, 0x01, 0} + Bytes{0x3B};
    const Bytes fmt = text("fmt ") + le32(16) + zeros(16);
    const Bytes oddWave = text("RIFF") + le32(4 + 24 + 8 + 3) + text("WAVE") + fmt + text("data") + le32(3) + Bytes{1, 2, 3};
    const Bytes avi = text("RIFF") + le32(4 + 12) + text("AVI ") + text("LIST") + le32(4) + text("movi");
    const Bytes avix = text("RIFF") + le32(4 + 8) + text("AVIX") + text("JUNK") + le32(0);
    const Bytes aiff = text("FORM") + be32(4 + 26) + text("AIFF") + text("COMM") + be32(18) + zeros(18);
    const Bytes ebml = Bytes{0x1A, 0x45, 0xDF, 0xA3, 0x84} + Bytes{0x42, 0x82, 0x81, 'w'};
    const Bytes segment = Bytes{0x18, 0x53, 0x80, 0x67, 0x01, 0, 0, 0, 0, 0, 0x01, 0x00} + zeros(256);
    const Bytes flvHead = text("FLV\x01\x05") + be32(9) + be32(0);
    const Bytes flvTags = flvTag(18, 20, 31) + flvTag(9, 100, 111) + flvTag(8, 7, 18);
    const Bytes pack = Bytes{0, 0, 1, 0xBA, 0x44, 0, 4, 0, 4, 1, 0, 0, 3, 0xF8};
    const Bytes packet = Bytes{0, 0, 1, 0xE0, 0, 10} + zeros(10);
    // RAR 5 per its archive format description: signature, main archive header, a file header
    // with a data area, end of archive.
    const Bytes rarSignature = text(std::string_view("Rar!\x1A\x07\x01\x00", 8));
    const Bytes rar = rarSignature + rarBlock(1, 0, {0}) + rarBlock(2, 0x02, Bytes{0xAC, 0x02} + zeros(6), Bytes(300, 0x5A))
        + rarBlock(5, 0, {0});
    expectEnds({
        {"PNG", pngEnd, pngHead + pngEndChunk, pngHead.size() + pngEndChunk.size()},
        {"PNG chunk past 2^31", pngEnd, pngHead + be32(0xFFFFFFF0) + text("IDAT") + zeros(64) + pngEndChunk, std::nullopt},
        {"PNG chunk past the medium", pngEnd, pngHead + be32(0x7FFFFFFF) + text("IDAT") + zeros(64) + pngEndChunk, std::nullopt},
        {"PNG chunk type not letters", pngEnd, pngHead + be32(4) + text("ID\x01T") + zeros(8) + pngEndChunk, std::nullopt},
        {"PNG without IHDR first", pngEnd, text("\x89PNG\r\n\x1A\n") + pngEndChunk, std::nullopt},
        {"GIF", gifEnd, gif + zeros(100), gif.size()},
        {"GIF with a wrong trailer", gifEnd, Bytes(gif.begin(), gif.end() - 1) + Bytes{0x99}, std::nullopt},
        {"GIF cut in its blocks", gifEnd, Bytes(gif.begin(), gif.end() - 4), std::nullopt},
        // 3x2 pixels of 24 bits: rows of 12 bytes.
        {"BMP", bmpEnd, bmp(78, 3, 2, 1, 0) + zeros(24) + zeros(500), 78},
        {"BMP size missing is worked out", bmpEnd, bmp(0, 3, 2, 1, 0) + zeros(24) + zeros(500), 78},
        {"BMP size short of the pixels", bmpEnd, bmp(60, 3, -2, 1, 0) + zeros(24) + zeros(500), 78},
        {"BMP room after the pixels is kept", bmpEnd, bmp(90, 3, 2, 1, 0) + zeros(600), 90},
        {"BMP of two planes", bmpEnd, bmp(78, 3, 2, 2, 0) + zeros(600), std::nullopt},
        {"BMP no pixels wide", bmpEnd, bmp(78, 0, 2, 1, 0) + zeros(600), std::nullopt},
        {"BMP compressed without a size", bmpEnd, bmp(0, 3, 2, 1, 1) + zeros(600), std::nullopt},
        {"BMP of 2^62 pixels", bmpEnd, bmp(78, 0x7FFFFFFF, 0x7FFFFFFF, 1, 0) + zeros(600), std::nullopt},
        {"RIFF size all ones", riffEnd, text("RIFF") + le32(0xFFFFFFFF) + text("WAVE") + fmt + zeros(1000), std::nullopt},
        {"RIFF size zero", riffEnd, text("RIFF") + le32(0) + text("WAVE") + fmt + zeros(1000), std::nullopt},
        {"RIFF odd chunk padded", riffEnd, oddWave + zeros(100), oddWave.size() + 1},
        {"RIFF first chunk larger than its RIFF", riffEnd, text("RIFF") + le32(100) + text("WAVE") + text("fmt ") + le32(500)
             + zeros(200), std::nullopt},
        {"RIFF past the medium", riffEnd, text("RIFF") + le32(0xFFFFFFF0) + text("WAVE") + fmt + zeros(100), std::nullopt},
        {"AVI through its AVIX parts", riffEnd, avi + avix + avix + text("RIFF") + le32(12) + text("WAVE") + zeros(64),
         avi.size() + 2 * avix.size()},
        {"AVIX part to the end", riffEnd, avi + text("RIFF") + le32(0xFFFFFFFF) + text("AVIX") + zeros(64), std::nullopt},
        {"AIFF", aiffEnd, aiff + zeros(100), aiff.size()},
        {"AIFF past the medium", aiffEnd, text("FORM") + be32(0x7FFFFFF0) + text("AIFF") + text("COMM") + be32(18) + zeros(18),
         std::nullopt},
        {"Matroska", matroskaEnd, ebml + segment + zeros(300), ebml.size() + segment.size()},
        {"Matroska void before the segment", matroskaEnd, ebml + Bytes{0xEC, 0x82, 0, 0} + segment + zeros(30),
         ebml.size() + 4 + segment.size()},
        {"Matroska segment of unknown size", matroskaEnd, ebml + Bytes{0x18, 0x53, 0x80, 0x67, 0x01} + Bytes(7, 0xFF) + zeros(300),
         std::nullopt},
        {"Matroska cluster at the top", matroskaEnd, ebml + Bytes{0x1F, 0x43, 0xB6, 0x75, 0x80} + segment, std::nullopt},
        {"Matroska size without a length marker", matroskaEnd, ebml + Bytes{0x18, 0x53, 0x80, 0x67, 0x00} + zeros(30), std::nullopt},
        {"FLV to a wrong previous tag size", flvEnd, flvHead + flvTags + flvTag(9, 50, 60) + zeros(100), flvHead.size() + flvTags.size()},
        {"FLV to free space", flvEnd, flvHead + flvTags + zeros(100), flvHead.size() + flvTags.size()},
        {"FLV without one good tag", flvEnd, flvHead + flvTag(9, 50, 60), std::nullopt},
        {"FLV header past the medium", flvEnd, text("FLV\x01\x05") + be32(0x7FFFFFFF) + be32(0) + flvTags, std::nullopt},
        {"MPEG program stream end code", mpegPsEnd, pack + packet + pack + packet + Bytes{0, 0, 1, 0xB9} + pack + packet,
         2 * (pack.size() + packet.size()) + 4},
        {"MPEG packet longer than the medium", mpegPsEnd, pack + packet + Bytes{0, 0, 1, 0xE0, 0xFF, 0xFF} + zeros(20),
         pack.size() + packet.size()},
        {"SQLite page size 1 means 65536", sqliteEnd, sqliteHeader(1, 2, 7) + zeros(2 * 65536), 2 * 65536},
        {"SQLite", sqliteEnd, sqliteHeader(4096, 3, 7) + zeros(3 * 4096), 3 * 4096},
        {"SQLite stale page count", sqliteEnd, sqliteHeader(4096, 3, 6) + zeros(3 * 4096), std::nullopt},
        {"SQLite page size of no power of two", sqliteEnd, sqliteHeader(1000, 3, 7) + zeros(3 * 4096), std::nullopt},
        {"SQLite of no pages", sqliteEnd, sqliteHeader(4096, 0, 7) + zeros(3 * 4096), std::nullopt},
        {"SQLite past the medium", sqliteEnd, sqliteHeader(65535, 0xFFFFFFFF, 7) + zeros(4096), std::nullopt},
        {"RAR 5", rarEnd, rar + rarSignature + zeros(64), rar.size()},
        {"RAR 5 block checksum", rarEnd, flipped(rar, 8), std::nullopt},
        {"RAR 5 headers encrypted from here on", rarEnd, rarSignature + rarBlock(1, 0, {0}) + rarBlock(4, 0, {0}) + zeros(100),
         std::nullopt},
        {"RAR 5 without an end block", rarEnd, rarSignature + rarBlock(1, 0, {0}) + zeros(100), std::nullopt},
    });
}

TEST(FormatEndHostile, SevenZipHeadersAreChecked)
{
    const test::Sample& sample = test::sampleFor(test::recipeNamed("SevenZip"));
    if (!sample.skipReason.empty())
        GTEST_SKIP() << sample.skipReason;
    EXPECT_EQ(endOf(sevenZipEnd, flipped(sample.bytes, 20) + zeros(100)), std::nullopt) << "start header";
    EXPECT_EQ(endOf(sevenZipEnd, flipped(sample.bytes, sample.bytes.size() - 1) + zeros(100)), std::nullopt) << "next header";
}

Bytes le16(std::uint16_t v) { return {std::uint8_t(v), std::uint8_t(v >> 8)}; }
Bytes be16(std::uint16_t v) { return {std::uint8_t(v >> 8), std::uint8_t(v)}; }

struct TiffEntry {
    std::uint16_t tag, type;
    std::uint32_t count, value;
};

// A little-endian TIFF directory: its entries, then the next directory's offset.
Bytes tiffDirectory(const std::vector<TiffEntry>& entries, std::uint32_t next)
{
    Bytes d = le16(std::uint16_t(entries.size()));
    for (const TiffEntry& e : entries)
        d = d + le16(e.tag) + le16(e.type) + le32(e.count) + le32(e.value);
    return d + le32(next);
}

// `levels` directories, each the only SubIFD of the one before.
Bytes tiffNestedSubIfds(std::uint32_t levels)
{
    Bytes tiff = text(std::string_view("II*\0", 4)) + le32(8);
    for (std::uint32_t k = 0; k < levels; ++k)
        tiff = tiff + tiffDirectory({{0x014A, 4, 1, k + 1 < levels ? 8 + 18 * (k + 1) : 0}}, 0);
    return tiff;
}

// A JPEG 2000 codestream: SOC, a short SIZ, one tile-part of `psot` bytes holding four, EOC.
Bytes codestream(std::uint32_t psot)
{
    return Bytes{0xFF, 0x4F, 0xFF, 0x51, 0, 6} + zeros(4) + Bytes{0xFF, 0x90, 0, 10, 0, 0} + be32(psot) + Bytes{0, 1, 0xFF, 0x93}
        + text("data") + Bytes{0xFF, 0xD9};
}

// A 2x2 grey PSD whose layer section claims `layerLength` bytes (holding none), then its image data.
Bytes photoshop(std::uint32_t layerLength, std::uint16_t compression)
{
    return text("8BPS") + be16(1) + zeros(6) + be16(1) + be32(2) + be32(2) + be16(8) + be16(1) + be32(0) + be32(0)
        + be32(layerLength) + be16(compression) + be16(3) + be16(5) + zeros(8);
}

TEST(FormatEndHostile, PictureLayoutsThatCannotBe)
{
    const Bytes tiff = text(std::string_view("II*\0", 4)) + le32(8);
    const Bytes strip = text("abcd");
    const Bytes stripDirectory = tiffDirectory({{0x111, 4, 1, 38}, {0x117, 4, 1, 4}}, 0);
    const Bytes jp2Head = text(std::string_view("\0\0\0\x0CjP  \r\n\x87\n", 12)) + be32(20) + text("ftypjp2 ") + be32(0)
        + text("jp2 ");
    const Bytes jxlHead = text(std::string_view("\0\0\0\x0CJXL \r\n\x87\n", 12)) + be32(20) + text("ftypjxl ") + be32(0)
        + text("jxl ");
    const Bytes raf = text("FUJIFILMCCD-RAW 0201") + zeros(64);
    const Bytes mrw = text(std::string_view("\0MRM", 4)) + be32(32) + text(std::string_view("\0PRD", 4)) + be32(24)
        + text("21810002") + be16(4) + be16(8) + be16(4) + be16(8) + Bytes{10, 10, 0x59, 0} + zeros(4);
    expectEnds({
        {"a TIFF strip", tiffEnd, tiff + stripDirectory + strip, 42},
        {"a TIFF chain looping back", tiffEnd, tiff + tiffDirectory({{0x111, 4, 1, 38}, {0x117, 4, 1, 4}}, 8) + strip, 42},
        {"TIFF directories overlapping", tiffEnd, tiff + tiffDirectory({{0x111, 4, 1, 38}, {0x117, 4, 1, 4}}, 10) + strip,
         std::nullopt},
        {"a TIFF strip past the medium", tiffEnd, tiff + tiffDirectory({{0x111, 4, 1, 38}, {0x117, 4, 1, 1 << 20}}, 0) + strip,
         std::nullopt},
        {"TIFF strips without byte counts", tiffEnd, tiff + tiffDirectory({{0x111, 4, 1, 26}}, 0) + strip, std::nullopt},
        {"a TIFF value of no known type", tiffEnd, tiff + tiffDirectory({{0x10F, 99, 1, 0}}, 0) + strip, std::nullopt},
        {"an empty TIFF directory", tiffEnd, tiff + tiffDirectory({}, 0) + strip, std::nullopt},
        {"TIFF values larger than any medium", tiffEnd, tiff + tiffDirectory({{0x10F, 12, 0xFFFFFFFF, 26}}, 0), std::nullopt},
        {"TIFF SubIFDs within the depth bound", tiffEnd, tiffNestedSubIfds(8), 8 + 8 * 18},
        {"TIFF SubIFDs nested too deep", tiffEnd, tiffNestedSubIfds(12), std::nullopt},
        {"a BigTIFF directory past 4 GiB", tiffEnd, text(std::string_view("II+\0", 4)) + le16(8) + le16(0) + le32(0) + le32(2),
         std::nullopt},
        {"PSD rows by run lengths", photoshopEnd, photoshop(0, 1), 52},
        {"PSD zip image data has no length", photoshopEnd, photoshop(0, 2), std::nullopt},
        {"PSD layers past the medium", photoshopEnd, photoshop(0x7FFFFFF0, 1) + zeros(64), std::nullopt},
        {"J2K tile-parts", j2kEnd, codestream(18) + codestream(18), 30},
        {"J2K last tile-part to the end marker", j2kEnd, codestream(0) + zeros(8), 30},
        {"J2K tile-part shorter than its header", j2kEnd, codestream(13) + zeros(64), std::nullopt},
        {"JP2 codestream box to the end", jp2End, jp2Head + be32(0) + text("jp2c") + codestream(0) + codestream(0),
         32 + 8 + 30},
        {"JP2 without a codestream", jp2End, jp2Head + be32(12) + text("xml <a/>") + zeros(64), std::nullopt},
        {"JXL codestream box to the end", jxlEnd, jxlHead + be32(0) + text("jxlc") + zeros(64), std::nullopt},
        {"JXL last codestream part", jxlEnd, jxlHead + be32(16) + text("jxlp") + be32(0x80000000) + zeros(68), 32 + 16},
        {"JXL last part in a box with a 64-bit size", jxlEnd,
         jxlHead + be32(1) + text("jxlp") + be64(24) + be32(0x80000000) + zeros(68), 32 + 24},
        {"JXL without its last part", jxlEnd, jxlHead + be32(16) + text("jxlp") + be32(0) + zeros(68), std::nullopt},
        {"CRW without a root table", crwEnd, text("II") + le32(26) + text("HEAPCCDR") + zeros(4012), std::nullopt},
        {"X3F directory its pointer misses", x3fEnd, text("FOVb") + zeros(36) + text("SECd") + le32(0x20000) + le32(1) + le32(40)
             + le32(4) + text("PROP") + le32(41), std::nullopt},
        {"MRW of 10-bit samples", mrwEnd, mrw + zeros(64), std::nullopt},
        {"RAF data inside its header", rafEnd, raf + be32(16) + be32(8) + zeros(80), std::nullopt},
    });
}

Bytes le64(std::uint64_t v) { return le32(std::uint32_t(v)) + le32(std::uint32_t(v >> 32)); }
Bytes times(const Bytes& unit, std::size_t count)
{
    Bytes all;
    for (std::size_t i = 0; i < count; ++i)
        all = std::move(all) + unit;
    return all;
}
Bytes padded(Bytes bytes, std::size_t size) { bytes.resize(size); return bytes; }

// An ADTS frame of `bytes` bytes: AAC LC, 44.1 kHz, stereo, no checksum.
Bytes adts(std::uint16_t bytes)
{
    return padded(Bytes{0xFF, 0xF1, 0x50, std::uint8_t(0x80 | bytes >> 11), std::uint8_t(bytes >> 3), std::uint8_t((bytes & 7) << 5 | 0x1F), 0xFC}, bytes);
}

Bytes wavPackBlock(std::uint32_t total, std::uint32_t index, std::uint32_t samples, std::uint32_t payload = 40)
{
    return text("wvpk") + le32(24 + payload) + le16(0x410) + Bytes{0, 0} + le32(total) + le32(index) + le32(samples)
        + le32(0x1800) + le32(0) + zeros(payload);  // the first and last block of its group
}

Bytes asf(std::uint64_t statedSize, std::uint32_t flags)
{
    const Bytes headerGuid = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
    const Bytes propertiesGuid = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11, 0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
    Bytes dataGuid = headerGuid;
    dataGuid[0] = 0x36;
    const Bytes properties = propertiesGuid + le64(104) + zeros(16) + le64(statedSize) + zeros(40) + le32(flags) + zeros(12);
    return headerGuid + le64(30 + 104) + le32(1) + Bytes{1, 2} + properties + dataGuid + le64(50 + 200) + zeros(26 + 200)
        + text("simple index obj") + le64(24 + 16) + zeros(16);
}

TEST(FormatEndHostile, SoundStructures)
{
    // MPEG-1 at 44.1 kHz: layer III and II at 128 kbit/s (417 bytes), layer I at 384 kbit/s (416).
    const Bytes layer3 = padded(Bytes{0xFF, 0xFB, 0x90, 0x00}, 417), layer2 = padded(Bytes{0xFF, 0xFD, 0x80, 0x00}, 417);
    const Bytes layer1 = padded(Bytes{0xFF, 0xFF, 0xC0, 0x00}, 416);
    const Bytes info = padded(Bytes{0xFF, 0xFB, 0x90, 0x00} + zeros(32) + text("Info") + be32(2) + be32(3 * 417), 417);
    const Bytes id3WithFooter = text("ID3") + Bytes{4, 0, 0x10, 0, 0, 0, 2} + zeros(2) + text("3DI") + zeros(7);
    const Bytes apeTagItems = le32(4) + le32(0) + text(std::string_view("Title\0Tone", 10));
    const Bytes apeTagFooter = text("APETAGEX") + le32(2000) + le32(std::uint32_t(apeTagItems.size() + 32)) + le32(1) + zeros(12);
    const Bytes tags = apeTagItems + apeTagFooter + text("LYRICSBEGININD0000210000021LYRICS200") + padded(text("TAG"), 128);
    const Bytes smf = text("MThd") + be32(6) + Bytes{0, 1, 0, 2, 0, 96};
    const Bytes track = text("MTrk") + be32(4) + Bytes{0, 0xFF, 0x2F, 0};
    const Bytes au = text(".snd") + be32(24);
    const Bytes caf = text(std::string_view("caff\0\1\0\0", 8)) + text("desc") + be64(32) + zeros(32);
    const Bytes freeChunk = text("free") + be64(0);
    // Monkey's Audio 3.99: descriptor, header (16-bit stereo, one frame), seek table, 100 bytes of frames.
    auto ape = [](std::uint16_t version, std::uint32_t framesHigh) {
        return text("MAC ") + le16(version) + le16(0) + le32(52) + le32(24) + le32(4) + le32(0) + le32(100) + le32(framesHigh)
            + le32(0) + zeros(16) + le16(2000) + le16(0) + le32(73728) + le32(100) + le32(1) + le16(16) + le16(2)
            + le32(44100) + le32(80) + zeros(100);
    };
    expectEnds({
        {"MP3 layer II", mp3End, times(layer2, 4), 4 * 417},
        {"MP3 layer I", mp3End, times(layer1, 4), 4 * 416},
        {"MP3 lone frames", mp3End, times(layer3, 3), std::nullopt},
        {"MP3 layers mixed", mp3End, times(layer3, 2) + times(layer2, 2), std::nullopt},
        {"MP3 free format", mp3End, times(padded(Bytes{0xFF, 0xFB, 0x00, 0x00}, 417), 4), std::nullopt},
        {"MP3 ID3 v2.4 footer", mp3End, id3WithFooter + times(layer3, 4), 22 + 4 * 417},
        {"MP3 ID3 size not in seven-bit bytes", mp3End, flipped(id3WithFooter, 9, 0x80) + times(layer3, 4), std::nullopt},
        {"MP3 stops at the Info count", mp3End, info + times(layer3, 3), 3 * 417},
        {"MP3 next file's Info frame", mp3End, times(layer3, 4) + info, 4 * 417},
        {"MP3 APE tag, Lyrics3, ID3 v1", mp3End, times(layer3, 4) + tags, 4 * 417 + tags.size()},
        {"MP3 APE tag footer disowns it", mp3End, times(layer3, 4) + flipped(tags, 20), 4 * 417},
        {"AAC frames", aacEnd, times(adts(100), 4) + adts(300), 4 * 100 + 300},
        {"AAC lone frames", aacEnd, times(adts(100), 3), std::nullopt},
        {"AAC frame shorter than its header", aacEnd, times(adts(100), 4) + adts(6), 400},
        {"AMR wide band", amrEnd, text("#!AMR-WB\n") + times(padded({0x44}, 61), 3), 9 + 3 * 61},
        {"AMR without frames", amrEnd, text("#!AMR\n") + zeros(100), std::nullopt},
        {"MIDI with a chunk of its own", midiEnd, smf + track + text("XFIH") + be32(2) + zeros(2) + track, 14 + 12 + 10 + 12},
        {"MIDI track without its end", midiEnd, smf + track + flipped(track, 9), std::nullopt},
        {"MIDI track past the medium", midiEnd, smf + track + text("MTrk") + be32(0xFFFFFFF0) + zeros(64), std::nullopt},
        {"MIDI without tracks", midiEnd, flipped(smf, 11, 2) + track, std::nullopt},
        {"RIFF MIDI", midiEnd, text("RIFF") + le32(4 + 8 + 26) + text("RMIDdata") + le32(26) + smf + track, 46},
        {"AU", auEnd, au + be32(100) + be32(3) + be32(8000) + be32(1) + zeros(100), 124},
        {"AU size unknown", auEnd, au + be32(0xFFFFFFFF) + be32(3) + be32(8000) + be32(1) + zeros(100), std::nullopt},
        {"AU past the medium", auEnd, au + be32(0xFFFFFFF0) + be32(3) + be32(8000) + be32(1) + zeros(100), std::nullopt},
        {"CAF", cafEnd, caf + text("data") + be64(8) + zeros(8), 52 + 20},
        {"CAF data to the end", cafEnd, caf + text("data") + be64(~0ull) + zeros(8), std::nullopt},
        {"CAF empty chunks", cafEnd, caf + times(freeChunk, 1100) + text("data") + be64(8) + zeros(8), std::nullopt},
        {"Monkey's Audio", apeEnd, ape(3990, 0), 180},
        {"Monkey's Audio frames past 4 GiB", apeEnd, ape(3990, 1), std::nullopt},
        {"Monkey's Audio before 3.98", apeEnd, ape(3970, 0), std::nullopt},
        {"WavPack", wavPackEnd, wavPackBlock(150, 0, 100) + wavPackBlock(150, 100, 50) + wavPackBlock(150, 0, 100), 2 * 72},
        {"WavPack short of its total", wavPackEnd, wavPackBlock(200, 0, 100) + wavPackBlock(200, 100, 50), std::nullopt},
        {"WavPack total unknown", wavPackEnd, wavPackBlock(~0u, 0, 100) + wavPackBlock(~0u, 100, 50), 2 * 72},
        {"WavPack block past the medium", wavPackEnd, wavPackBlock(150, 0, 100, 0xFFFF0), std::nullopt},
        {"ASF", asfEnd, asf(134 + 250 + 40, 2), 134 + 250 + 40},
        {"ASF broadcast", asfEnd, asf(134 + 250 + 40, 1), std::nullopt},
        {"ASF size not on an object", asfEnd, asf(134 + 250 + 39, 2), std::nullopt},
    }, 600);
}

TEST(FormatEndHostile, FlacFramesAreCheckedByTheirCrcs)
{
    const test::Sample& sample = test::sampleFor(test::recipeNamed("Flac"));
    if (!sample.skipReason.empty())
        GTEST_SKIP() << sample.skipReason;
    EXPECT_EQ(endOf(flacEnd, flipped(sample.bytes, sample.bytes.size() / 2) + zeros(512)), std::nullopt);
    // Metadata blocks that never close.
    const Bytes streamInfo(sample.bytes.begin(), sample.bytes.begin() + 42);
    EXPECT_EQ(endOf(flacEnd, flipped(streamInfo, 4, 0x80) + times(Bytes{1, 0, 0, 0}, 2000)), std::nullopt);
}

// A tar header of `type` whose 12-byte size field is `size`, with its checksum.
Bytes tarHeader(char type, const Bytes& size)
{
    Bytes header = text("note.txt") + zeros(116) + size + zeros(12) + text("        ") + Bytes{std::uint8_t(type)};
    header.resize(512, 0);
    unsigned sum = 0;
    for (std::uint8_t b : header)
        sum += b;
    char field[8];
    std::snprintf(field, sizeof field, "%06o", sum);
    std::copy_n(field, 7, header.begin() + 148);
    return header;
}

// A RAR 4 block: the low 16 bits of the CRC-32 of its header, then type, flags, size, fields.
Bytes rar4Block(std::uint8_t type, std::uint16_t flags, const Bytes& fields)
{
    const std::size_t size = 7 + fields.size();
    const Bytes header = Bytes{type, std::uint8_t(flags), std::uint8_t(flags >> 8), std::uint8_t(size), std::uint8_t(size >> 8)} + fields;
    const std::uint32_t crc = crc32(header.data(), header.size());
    return Bytes{std::uint8_t(crc), std::uint8_t(crc >> 8)} + header;
}

TEST(FormatEndHostile, ArchiveAndVideoSizesThatCannotBe)
{
    const Bytes tarSize15 = text("00000000017") + zeros(1);
    const Bytes tar = tarHeader('0', tarSize15) + text("Lost and found\n") + zeros(497) + zeros(1024);
    const Bytes rarStart = text(std::string_view("Rar!\x1A\x07\x00", 7)) + rar4Block(0x73, 0, zeros(6));
    // A file header with the high size fields, whose high packed size puts the data past 2^32.
    const Bytes rarHuge = rarStart + rar4Block(0x74, 0x8100, le32(15) + le32(15) + zeros(17) + le32(1) + le32(0)) + zeros(15)
        + rar4Block(0x7B, 0x4000, {});
    const Bytes cabinet = text("MSCF") + le32(0) + le32(100) + le32(0) + le32(200) + le32(0) + Bytes{3, 1} + zeros(10);
    const Bytes mxfHeaderKey = text(std::string_view("\x06\x0E\x2B\x34\x02\x05\x01\x01\x0D\x01\x02\x01\x01\x02\x04\x00", 16));
    const Bytes sequenceHeader = Bytes{0, 0, 1, 0xB3, 0x04, 0x00, 0x30, 0x23} + zeros(8);
    expectEnds({
        {"tar to its two zero blocks", tarEnd, tar + text("next"), tar.size()},
        {"tar with a broken checksum", tarEnd, flipped(tar, 0) + text("next"), std::nullopt},
        {"tar with a lone zero block", tarEnd, Bytes(tar.begin(), tar.end() - 512) + text("next") + zeros(600), std::nullopt},
        {"tar sized past the medium in base 256", tarEnd, tarHeader('0', Bytes{0x80} + zeros(6) + Bytes{1, 0, 0, 0, 0}) + zeros(2048), std::nullopt},
        {"tar sized past 2^64 in base 256", tarEnd, tarHeader('0', Bytes(12, 0xFF)) + zeros(2048), std::nullopt},
        {"RAR 4 data past 2^32", rarEnd, rarHuge, std::nullopt},
        {"RAR 4 header shorter than a block", rarEnd, rarStart + Bytes{0, 0, 0x74, 0, 0x80, 3, 0} + zeros(64), std::nullopt},
        {"RAR 4 without its archive header", rarEnd, text(std::string_view("Rar!\x1A\x07\x00", 7)) + rar4Block(0x7B, 0x4000, {}), std::nullopt},
        {"cabinet whose files lie past its end", cabinetEnd, cabinet + zeros(300), std::nullopt},
        {"MXF length of 2^63", mxfEnd, mxfHeaderKey + Bytes{0x88, 0x80} + zeros(7) + zeros(200), std::nullopt},
        {"Flash longer than the medium", swfEnd, text("FWS\x06") + le32(0x7FFFFFF0) + zeros(100), std::nullopt},
        {"MPEG video slice before any picture", mpegVideoEnd, sequenceHeader + Bytes{0, 0, 1, 0x01, 0x55} + zeros(100), std::nullopt},
    });
}

TEST(FormatEndHostile, MpegVideoFollowedByFreeSpaceIsNotReadToTheLimit)
{
    const test::Sample& sample = test::sampleFor(test::recipeNamed("Mpeg2Video"));
    if (!sample.skipReason.empty())
        GTEST_SKIP() << sample.skipReason;
    MemoryMedium zeroedCard(sample.bytes + zeros(64 * 1024 * 1024));
    FormatEndReader file(zeroedCard, 0, zeroedCard.bytes().size());
    EXPECT_EQ(mpegVideoEnd(file), sample.bytes.size());
    EXPECT_LE(zeroedCard.bytesAsked(), 3 * sample.bytes.size() + 8 * 1024 * 1024);
}

// Version 3, sector 0 holding the FAT, `directory` the first directory sector.
Bytes compoundFile(std::uint32_t fatSectors, std::uint32_t secondFatSector, std::uint32_t directory)
{
    const Bytes header = text("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") + zeros(16) + Bytes{0x3E, 0, 3, 0, 0xFE, 0xFF, 9, 0, 6, 0}
        + zeros(10) + le32(fatSectors) + le32(directory) + le32(0) + le32(4096) + le32(0xFFFFFFFE) + le32(0)
        + le32(0xFFFFFFFE) + le32(0) + le32(0) + le32(secondFatSector);
    return header + Bytes(512 - header.size(), 0xFF) + le32(0xFFFFFFFD) + le32(0xFFFFFFFE) + Bytes(504, 0xFF) + zeros(512);
}

// 110 FAT sectors (0 to 109), the last listed by a DIFAT sector (110), the directory at 111.
Bytes compoundFileWithDifat(std::uint32_t nextDifat)
{
    Bytes file = compoundFile(110, 1, 111);
    std::copy_n(le32(110).begin(), 4, file.begin() + 0x44);
    std::copy_n(le32(1).begin(), 4, file.begin() + 0x48);
    for (std::uint32_t i = 0; i < 109; ++i)
        std::copy_n(le32(i).begin(), 4, file.begin() + 0x4C + 4 * i);
    file = padded(file, 512);
    for (std::uint32_t i = 0; i < 110; ++i)
        file = file + le32(0xFFFFFFFD);
    file = file + le32(0xFFFFFFFC) + le32(0xFFFFFFFE);
    file = file + Bytes(1024 - file.size() + 109 * 512, 0xFF);
    return file + le32(109) + Bytes(504, 0xFF) + le32(nextDifat) + zeros(512);
}

// A PE32 image: headers to 0x200, one section of 0x200 bytes, a certificate table.
Bytes peImage(std::uint16_t sections, std::uint32_t certificateBytes)
{
    const Bytes optional = le16(0x10B) + zeros(58) + le32(0x200) + zeros(28) + le32(16) + zeros(32) + le32(0x400)
        + le32(certificateBytes) + zeros(88);
    const Bytes section = text(".text") + zeros(11) + le32(0x200) + le32(0x200) + zeros(16);
    return padded(text("MZ") + zeros(0x3A) + le32(0x40) + text(std::string_view("PE\0\0", 4)) + le16(0x14C) + le16(sections)
                      + zeros(12) + le16(0xE0) + le16(0x102) + optional + section,
                  0x480);
}

// A big-endian 32-bit ELF whose two section headers follow 48 bytes of data.
Bytes elf32BigEndian(std::uint32_t noBitsSize)
{
    const Bytes header = text("\x7F" "ELF") + Bytes{1, 2, 1} + zeros(9) + be16(2) + be16(8) + be32(1) + be32(0) + be32(0)
        + be32(100) + be32(0) + be16(52) + be16(32) + be16(0) + be16(40) + be16(2) + be16(0);
    const Bytes noBits = zeros(4) + be32(8) + zeros(8) + be32(52) + be32(noBitsSize) + zeros(16);
    const Bytes data = zeros(4) + be32(1) + zeros(8) + be32(52) + be32(48) + zeros(16);
    return header + zeros(48) + noBits + data;
}

Bytes outlookStore(std::uint16_t version, std::uint32_t fileEnd)
{
    Bytes header = padded(text("!BDN") + zeros(4) + text("SM") + le16(version) + le16(19) + Bytes{1, 1}, 512);
    std::copy_n(le32(fileEnd).begin(), 4, header.begin() + (version < 23 ? 0xA8 : 0xB8));
    const Bytes crc = le32(~crc32(header.data() + 8, 471, ~0u));
    std::copy(crc.begin(), crc.end(), header.begin() + 4);
    return padded(header, fileEnd);
}

Bytes keePass(std::uint16_t major, std::uint32_t firstBlockBytes)
{
    return text("\x03\xD9\xA2\x9A\x67\xFB\x4B\xB5") + le16(0) + le16(major) + Bytes{2} + le32(16) + zeros(16) + Bytes{0}
        + le32(4) + text("\r\n\r\n") + zeros(64) + zeros(32) + le32(firstBlockBytes) + zeros(10) + zeros(32) + le32(0);
}

// A one-table font: the table of `length` bytes right after the directory.
Bytes sfnt(std::uint16_t tables, std::uint32_t length)
{
    return be32(0x00010000) + be16(tables) + zeros(6) + text("head") + be32(0) + be32(28) + be32(length) + zeros(5);
}

// A dynamic Virtual PC disk of four 4 KiB blocks, the second stored at sector `block`.
Bytes virtualPcDisk(std::uint32_t block)
{
    Bytes footer = padded(text("conectix") + be32(2) + be32(0x00010000) + be64(512) + zeros(36) + be32(3), 512);
    std::uint32_t sum = 0;
    for (std::uint8_t b : footer)
        sum += b;
    std::copy_n(be32(~sum).begin(), 4, footer.begin() + 64);
    const Bytes header = padded(text("cxsparse") + be64(~0ull) + be64(1536) + be32(0x00010000) + be32(4) + be32(4096), 1024);
    return footer + header + be32(~0u) + be32(block) + be32(~0u) + be32(~0u) + zeros(496) + zeros(512 + 4096) + footer;
}

TEST(FormatEndHostile, OfficeProgramsFontsAndDisks)
{
    const Bytes rtf = text("{\\rtf1{\\b x}\\{\\}{\\*\\bin2 }}}\\'7d}\r\n");
    const Bytes ps = text("%!PS\n%%BeginDocument: a.eps\n%!PS-Adobe-3.0 EPSF-3.0\n%%EOF\n%%EndDocument\n"
        "%%BeginResource: font F\n%%EOF\n%%EndResource\n(%%EOF) show\n%%EOF\r\n");
    const Bytes dosEps = text("\xC5\xD0\xD3\xC6") + le32(30) + le32(4) + zeros(8) + le32(34) + le32(6) + Bytes{0xFF, 0xFF}
        + text("%!PS") + zeros(6);
    const Bytes html = text("<!doctype html>\n<html></HtMl>\r\n");
    expectEnds({
        {"compound file", compoundFileEnd, compoundFile(1, ~0u, 1) + text("next"), 1536},
        {"a FAT sector listed twice", compoundFileEnd, compoundFile(2, 0, 1), std::nullopt},
        {"more FAT sectors than the limit holds", compoundFileEnd, compoundFile(0x10000000, ~0u, 1), std::nullopt},
        {"FAT sectors listed by a DIFAT sector", compoundFileEnd, compoundFileWithDifat(0xFFFFFFFE) + zeros(64), 113 * 512},
        {"more DIFAT sectors than the FAT needs", compoundFileEnd, flipped(compoundFileWithDifat(110), 0x48, 2), std::nullopt},
        {"a directory in a free sector", compoundFileEnd, compoundFile(1, ~0u, 7), std::nullopt},
        {"rich text", rtfEnd, rtf + text("{\\rtf1}"), rtf.size()},
        {"rich text never closed", rtfEnd, text("{\\rtf1{") + zeros(600), std::nullopt},
        {"\\bin past the medium", rtfEnd, text("{\\rtf1\\bin99999999999 }") + zeros(60), std::nullopt},
        {"PostScript embedding a document", postScriptEnd, ps + text("%!PS\n%%EOF\n"), ps.size()},
        {"DOS EPS", epsEnd, dosEps + zeros(100), dosEps.size()},
        {"DOS EPS inside its header", epsEnd, flipped(dosEps, 4, 0x10), std::nullopt},
        {"DOS EPS preview past the medium", epsEnd, flipped(dosEps, 27, 0x10), std::nullopt},
        {"PE with its certificates", windowsProgramEnd, peImage(1, 0x80) + zeros(64), 0x480},
        {"PE certificates past the medium", windowsProgramEnd, peImage(1, 0x7FFFFFFF), std::nullopt},
        {"PE without sections", windowsProgramEnd, peImage(0, 0x80), std::nullopt},
        {"PE header past the medium", windowsProgramEnd,
         padded(text("MZ") + le16(100) + le16(3) + zeros(18) + le16(0x40), 0x3C) + le32(0x10000) + zeros(2000), std::nullopt},
        {"DOS program", windowsProgramEnd, padded(text("MZ") + le16(100) + le16(3), 1124) + text("MZ"), 1124},
        {"big-endian ELF", elfEnd, elf32BigEndian(0x7FFFFFFF) + zeros(64), 180},
        {"ELF section table past the medium", elfEnd, flipped(elf32BigEndian(0), 0x20, 0x80), std::nullopt},
        {"ANSI mail store", outlookStoreEnd, outlookStore(14, 0x4600) + zeros(64), 0x4600},
        {"mail store header CRC", outlookStoreEnd, flipped(outlookStore(23, 0x4600), 0x30), std::nullopt},
        {"mail store shorter than its first map", outlookStoreEnd, outlookStore(23, 0x4000), std::nullopt},
        {"KDBX 4", keePassEnd, keePass(4, 10) + zeros(64), keePass(4, 10).size()},
        {"KDBX 3.1", keePassEnd, keePass(3, 10) + zeros(64), std::nullopt},
        {"KDBX block past the medium", keePassEnd, keePass(4, 0xFFFFFFF0), std::nullopt},
        {"font padded to four bytes", fontEnd, sfnt(1, 5) + zeros(64), 36},
        {"font without tables", fontEnd, sfnt(0, 5) + zeros(64), std::nullopt},
        {"font table past the medium", fontEnd, sfnt(1, 0x7FFFFFFF), std::nullopt},
        {"collection pointing beside its font", fontCollectionEnd,
         text("ttcf") + be32(0x00010000) + be32(1) + be32(17) + sfnt(1, 5), std::nullopt},
        {"dynamic Virtual PC disk", virtualPcDiskEnd, virtualPcDisk(4) + zeros(64), 7168},
        {"Virtual PC block past the medium", virtualPcDiskEnd, virtualPcDisk(0x00FFFFFF), std::nullopt},
        {"Virtual PC footer checksum", virtualPcDiskEnd, flipped(virtualPcDisk(4), 20), std::nullopt},
        {"web page", htmlEnd, html + html, html.size()},
        {"web page never closed", htmlEnd, text("<!DOCTYPE html>\n<html></htm>") + zeros(600), std::nullopt},
    });
}

// Not among the sample recipes: the footer that ends a dynamic disk is its first sector
// again, which the search finds as a second disk.
TEST(FormatEndHostile, VirtualPcDisksByQemuEndAfterTheirFooter)
{
    for (const char* command : {"qemu-img create -q -f vpc out 8M",
                                "truncate -s 4M d && seq 1 100000 | dd of=d conv=notrunc status=none && "
                                "qemu-img convert -f raw -O vpc d out"}) {
        const test::Sample disk = test::runEncoder("qemu-img", command);
        if (!disk.skipReason.empty())
            GTEST_SKIP() << disk.skipReason;
        EXPECT_EQ(endOf(virtualPcDiskEnd, disk.bytes + disk.bytes), disk.bytes.size()) << command;
    }
}

TEST(FormatEndReader, FindsAPatternCutByTheWindowAndStaysInsideTheLimit)
{
    Bytes bytes(600 * 1024, 0x11);
    const std::size_t at = 64 * 1024 - 2;
    std::copy_n("%%EOF", 5, bytes.begin() + at);
    MemoryMedium medium(bytes);
    FormatEndReader file(medium, 0, bytes.size());
    EXPECT_EQ(file.find(0, "%%EOF"), at);
    EXPECT_EQ(file.find(at + 1, "%%EOF"), std::nullopt);
    EXPECT_EQ(FormatEndReader(medium, 0, at + 4).find(0, "%%EOF"), std::nullopt) << "the pattern's last byte is past the limit";
    EXPECT_EQ(FormatEndReader(medium, 0, bytes.size(), at + 4).find(0, "%%EOF"), std::nullopt) << "past the scan limit";
    EXPECT_EQ(FormatEndReader(medium, 0, bytes.size(), at + 5).find(0, "%%EOF"), at);
    EXPECT_LE(medium.furthestAsked(), bytes.size());
}

TEST(FormatEndReader, HostileOffsetsDoNotWrap)
{
    MemoryMedium medium(Bytes(1024, 7));
    FormatEndReader file(medium, 512, std::numeric_limits<std::uint64_t>::max());
    std::uint8_t out[8];
    EXPECT_FALSE(file.read(std::numeric_limits<std::uint64_t>::max() - 3, out, 8));
    EXPECT_EQ(file.byteAt(511), 7);
    EXPECT_EQ(file.byteAt(512), std::nullopt);
    EXPECT_EQ(file.endIfReadable(512), 512u);
    EXPECT_EQ(file.endIfReadable(513), std::nullopt);
    EXPECT_EQ(file.endIfReadable(0), std::nullopt);
    FormatEndReader nearTheTop(medium, std::numeric_limits<std::uint64_t>::max() - 10, 1000);
    EXPECT_EQ(nearTheTop.limit(), 10u);
    EXPECT_EQ(nearTheTop.byteAt(0), std::nullopt);
}

TEST(FormatEndChecksums, StandardCheckValues)
{
    const std::string digits = "123456789";
    const auto* data = reinterpret_cast<const std::uint8_t*>(digits.data());
    EXPECT_EQ(crc32(data, digits.size()), 0xCBF43926u);
    EXPECT_EQ(crc32(data + 4, 5, crc32(data, 4)), 0xCBF43926u);
    EXPECT_EQ(oggCrc32(data, digits.size()), 0x89A1897Fu);
}

} // namespace
} // namespace salvyn
