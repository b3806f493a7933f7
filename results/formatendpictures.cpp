// Format ends of pictures outside the TIFF family: Photoshop, JPEG 2000, JPEG XL and the
// camera raws with layouts of their own (Fujifilm RAF, Canon CRW, Sigma X3F, Minolta MRW).
#include "results/formatends.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace salvyn {

namespace {

// Tables of lengths are summed in pieces of this many bytes.
constexpr std::size_t kPieceBytes = 32 * 1024;

// The sum of `count` big-endian numbers of `width` bytes from `offset`; none when they do
// not all lie below the limit.
std::optional<std::uint64_t> sumOfBigEndian(FormatEndReader& file, std::uint64_t offset, std::uint64_t count, std::size_t width)
{
    std::vector<std::uint8_t> piece(kPieceBytes);
    std::uint64_t sum = 0;
    for (std::uint64_t left = count; left > 0;) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(left, kPieceBytes / width));
        if (!file.read(offset, piece.data(), n * width))
            return std::nullopt;
        for (std::size_t i = 0; i < n; ++i) {
            std::uint64_t v = 0;
            for (std::size_t b = 0; b < width; ++b)
                v = (v << 8) | piece[i * width + b];
            sum += v;
        }
        offset += n * width;
        left -= n;
    }
    return sum;
}

// A section of `length` bytes after a length field of `fieldBytes` at `offset`: where the
// next one starts, none when it cannot lie below the limit.
std::optional<std::uint64_t> skipSized(FormatEndReader& file, std::uint64_t offset, std::size_t fieldBytes)
{
    std::optional<std::uint64_t> length;
    if (fieldBytes == 8)
        length = file.be64(offset);
    else if (auto length32 = file.be32(offset))
        length = *length32;
    if (!length || *length > file.limit() - offset - fieldBytes)
        return std::nullopt;
    return offset + fieldBytes + *length;
}

// ---- JPEG 2000 and JPEG XL ----------------------------------------------------------------

// Real files hold a few dozen boxes, marker segments or tile-parts; a chain of tiny ones
// across a large medium stops here.
constexpr std::uint64_t kMaxBoxes = 65536;
constexpr std::uint64_t kMaxMainHeaderSegments = 65536;
constexpr std::uint64_t kMaxTileParts = 1u << 20;

constexpr std::uint16_t kSoc = 0xFF4F, kSiz = 0xFF51, kSot = 0xFF90, kEoc = 0xFFD9;

// A JPEG 2000 codestream from its start-of-codestream marker at `start`: the main header's
// marker segments, then tile-parts by their Psot lengths, to the end-of-codestream marker.
std::optional<std::uint64_t> codestreamEnd(FormatEndReader& file, std::uint64_t start)
{
    if (file.be16(start) != kSoc || file.be16(start + 2) != kSiz)
        return std::nullopt;
    std::uint64_t offset = start + 2;
    for (std::uint64_t segments = 0;; ++segments) {
        auto marker = file.be16(offset);
        if (marker == kSot)
            break;
        auto length = file.be16(offset + 2);
        if (!marker || *marker < 0xFF50 || *marker > 0xFF6F || !length || *length < 2 || segments == kMaxMainHeaderSegments)
            return std::nullopt;
        offset += 2 + *length;
    }
    for (std::uint64_t parts = 0; parts < kMaxTileParts; ++parts) {
        auto marker = file.be16(offset);
        if (marker == kEoc)
            return offset + 2;
        auto psot = file.be32(offset + 6);
        if (marker != kSot || file.be16(offset + 2) != 10 || !psot)
            return std::nullopt;
        if (*psot == 0) {
            // The last tile-part may run to the end marker; coded data never holds it, since
            // after a 0xFF byte the coder only writes bytes up to 0x8F.
            auto end = file.find(offset + 12, "\xFF\xD9");
            return end ? std::optional(*end + 2) : std::nullopt;
        }
        if (*psot < 14)
            return std::nullopt;
        offset += *psot;
    }
    return std::nullopt;
}

struct BoxFormat {
    std::string_view signature;  // the whole 12-byte signature box
    std::array<std::string_view, 12> laterBoxes;  // box types that may follow it at the top level
    bool (*isLastCodestreamBox)(FormatEndReader& file, std::uint64_t box, std::uint64_t payload);
    bool codestreamMayRunToTheEnd;  // a JPEG 2000 codestream box of size 0 ends at its end marker
};

bool isJp2Codestream(FormatEndReader& file, std::uint64_t box, std::uint64_t) { return file.matches(box + 4, "jp2c"); }

// A whole codestream box, or the partial one whose index has its top bit set: the last.
bool isJxlCodestream(FormatEndReader& file, std::uint64_t box, std::uint64_t payload)
{
    return file.matches(box + 4, "jxlc") || (file.matches(box + 4, "jxlp") && file.byteAt(payload).value_or(0) >= 0x80);
}

constexpr BoxFormat kJp2{std::string_view("\0\0\0\x0CjP  \r\n\x87\n", 12),
                         {"ftyp", "jp2h", "jp2c", "jp2i", "xml ", "uuid", "uinf", "rreq", "asoc", "ftbl", "jpch", "free"},
                         isJp2Codestream, true};
constexpr BoxFormat kJxl{std::string_view("\0\0\0\x0CJXL \r\n\x87\n", 12),
                         {"ftyp", "jxll", "jxlc", "jxlp", "jxli", "jbrd", "Exif", "xml ", "jumb", "brob", "uuid", "free"},
                         isJxlCodestream, false};

// The top-level boxes after the signature, up to the first that is not one of the format's
// (free space or the next file); the file must have held its codestream by then.
std::optional<std::uint64_t> boxesEnd(FormatEndReader& file, const BoxFormat& format)
{
    if (!file.matches(0, format.signature))
        return std::nullopt;
    std::uint64_t offset = format.signature.size();
    bool codestreamSeen = false;
    for (std::uint64_t boxes = 0;; ++boxes) {
        const bool known = std::any_of(format.laterBoxes.begin(), format.laterBoxes.end(), [&](std::string_view type) {
            return file.matches(offset + 4, type) && (type != "ftyp" || offset == format.signature.size());
        });
        if (!known)
            break;
        auto size32 = file.be32(offset);
        if (!size32 || boxes == kMaxBoxes)
            return std::nullopt;
        std::uint64_t size = *size32, payload = offset + 8;
        if (size == 0) {
            // The last box runs to the end of the file: only a JPEG 2000 codestream tells
            // where that is.
            if (!format.codestreamMayRunToTheEnd || !isJp2Codestream(file, offset, offset + 8))
                return std::nullopt;
            auto end = codestreamEnd(file, offset + 8);
            return end ? file.endIfReadable(*end) : std::nullopt;
        }
        if (size == 1) {
            auto size64 = file.be64(offset + 8);
            if (!size64 || *size64 < 16)
                return std::nullopt;
            size = *size64;
            payload += 8;
        } else if (size < 8) {
            return std::nullopt;
        }
        if (size > file.limit() - offset)
            return std::nullopt;
        codestreamSeen = codestreamSeen || format.isLastCodestreamBox(file, offset, payload);
        offset += size;
    }
    return codestreamSeen ? file.endIfReadable(offset) : std::nullopt;
}

// ---- Camera raws ----------------------------------------------------------------------------

constexpr std::uint64_t kRafHeaderBytes = 108;
constexpr std::uint64_t kCiffHeaderBytes = 26;
constexpr std::uint64_t kMaxCiffRecords = 1024;
constexpr std::uint64_t kMaxX3fEntries = 1024;
constexpr std::uint64_t kMaxMrwBlocks = 64;
constexpr std::uint64_t kPrdBlockBytes = 8 + 24;

// Whether the CIFF record table the root heap's last four bytes would point back at,
// `tableAt` bytes into the heap, holds `records` records whose data lie before it.
bool isCiffRootTable(FormatEndReader& file, std::uint64_t tableAt, std::uint64_t records)
{
    const std::uint64_t table = kCiffHeaderBytes + tableAt;
    if (file.le16(table) != records)
        return false;
    for (std::uint64_t r = 0; r < records; ++r) {
        auto type = file.le16(table + 2 + 10 * r);
        auto size = file.le32(table + 4 + 10 * r), offset = file.le32(table + 8 + 10 * r);
        if (!type || !size || !offset)
            return false;
        // Bits 14 and 15 say where the data is: in the heap, or in the record itself.
        const unsigned location = *type & 0xC000;
        if (location == 0x4000)
            continue;
        if (location != 0 || *offset > tableAt || *size > tableAt - *offset)
            return false;
    }
    return true;
}

} // namespace

std::optional<std::uint64_t> photoshopEnd(FormatEndReader& file)
{
    auto version = file.be16(4);
    auto channels = file.be16(12), depth = file.be16(22);
    auto height = file.be32(14), width = file.be32(18);
    if (!file.matches(0, "8BPS") || (version != 1 && version != 2) || !channels || !height || !width || !depth)
        return std::nullopt;
    const bool large = version == 2;
    const std::uint32_t maxSide = large ? 300000 : 30000;
    if (*channels == 0 || *channels > 56 || *height == 0 || *height > maxSide || *width == 0 || *width > maxSide
        || (*depth != 1 && *depth != 8 && *depth != 16 && *depth != 32))
        return std::nullopt;
    // Colour mode data, image resources, then layer and mask information, each after its length.
    auto offset = skipSized(file, 26, 4);
    if (offset)
        offset = skipSized(file, *offset, 4);
    if (offset)
        offset = skipSized(file, *offset, large ? 8 : 4);
    auto compression = offset ? file.be16(*offset) : std::nullopt;
    if (!compression)
        return std::nullopt;
    const std::uint64_t dataStart = *offset + 2;
    const std::uint64_t rows = std::uint64_t{*channels} * *height;
    if (*compression == 0)
        return file.endIfReadable(dataStart + rows * ((std::uint64_t{*width} * *depth + 7) / 8));
    // Zip-compressed image data states no length.
    if (*compression == 2 || *compression == 3)
        return file.startWithoutEnd();
    if (*compression != 1)
        return std::nullopt;  // zip-compressed image data carries no length
    // Run-length data: a table of every row's byte count, then the rows.
    const std::size_t countBytes = large ? 4 : 2;
    auto rowBytes = sumOfBigEndian(file, dataStart, rows, countBytes);
    return rowBytes ? file.endIfReadable(dataStart + rows * countBytes + *rowBytes) : std::nullopt;
}

std::optional<std::uint64_t> jp2End(FormatEndReader& file) { return boxesEnd(file, kJp2); }

std::optional<std::uint64_t> j2kEnd(FormatEndReader& file)
{
    auto end = codestreamEnd(file, 0);
    return end ? file.endIfReadable(*end) : std::nullopt;
}

std::optional<std::uint64_t> jxlEnd(FormatEndReader& file) { return boxesEnd(file, kJxl); }

std::optional<std::uint64_t> rafEnd(FormatEndReader& file)
{
    if (!file.matches(0, "FUJIFILMCCD-RAW "))
        return std::nullopt;
    // The header's offset and length of the JPEG preview, the CFA header and the CFA data.
    std::uint64_t end = 0;
    for (std::uint64_t field = 84; field < kRafHeaderBytes; field += 8) {
        auto offset = file.be32(field), length = file.be32(field + 4);
        if (!offset || !length)
            return std::nullopt;
        if (*length == 0)
            continue;
        if (*offset < kRafHeaderBytes)
            return std::nullopt;
        end = std::max(end, std::uint64_t{*offset} + *length);
    }
    return end == 0 ? std::nullopt : file.endIfReadable(end);
}

std::optional<std::uint64_t> crwEnd(FormatEndReader& file)
{
    if (!file.matches(0, "II") || file.le32(2) != kCiffHeaderBytes || !file.matches(6, "HEAPCCDR"))
        return std::nullopt;
    // The root heap runs to the file's end, where its last four bytes point back at its
    // record table: a count, ten bytes a record, then that pointer. Nothing ahead says
    // where it ends, so the heap is read forward to the first place where a table and the
    // pointer after it agree.
    constexpr std::uint64_t kSmallestTable = 2 + 10 + 4;
    // Small pieces, so that several follow one another inside each window the reader loads
    // and the heap is fetched about once.
    std::vector<std::uint8_t> piece(16 * 1024);
    for (std::uint64_t at = kCiffHeaderBytes + kSmallestTable - 4;;) {
        if (at >= file.limit())
            return std::nullopt;
        std::size_t got = static_cast<std::size_t>(std::min<std::uint64_t>(piece.size(), file.limit() - at));
        while (got >= 4 && !file.read(at, piece.data(), got))
            got /= 2;
        if (got < 4)
            return std::nullopt;
        for (std::size_t i = 0; i + 4 <= got; ++i) {
            const std::uint64_t pointer = piece[i] | piece[i + 1] << 8 | piece[i + 2] << 16 | std::uint64_t{piece[i + 3]} << 24;
            const std::uint64_t heapEnd = at + i + 4 - kCiffHeaderBytes;
            if (pointer + kSmallestTable > heapEnd || (heapEnd - pointer - 6) % 10 != 0)
                continue;
            const std::uint64_t records = (heapEnd - pointer - 6) / 10;
            if (records <= kMaxCiffRecords && isCiffRootTable(file, pointer, records))
                return file.endIfReadable(kCiffHeaderBytes + heapEnd);
        }
        at += got - 3;
    }
}

std::optional<std::uint64_t> x3fEnd(FormatEndReader& file)
{
    if (!file.matches(0, "FOVb"))
        return std::nullopt;
    // The file's last four bytes point at the directory section just before them, which
    // lists every other section; the first "SECd" whose entry count and pointer agree is it.
    for (std::uint64_t from = 4;;) {
        auto directory = file.find(from, "SECd");
        if (!directory)
            return std::nullopt;
        from = *directory + 1;
        auto entries = file.le32(*directory + 8);
        if (!entries || *entries == 0 || *entries > kMaxX3fEntries)
            continue;
        const std::uint64_t pointerAt = *directory + 12 + 12 * std::uint64_t{*entries};
        if (file.le32(pointerAt) != *directory)
            continue;
        bool sectionsBefore = true;
        for (std::uint64_t e = 0; e < *entries && sectionsBefore; ++e) {
            auto offset = file.le32(*directory + 12 + 12 * e), length = file.le32(*directory + 16 + 12 * e);
            sectionsBefore = offset && length && *offset <= *directory && *length <= *directory - *offset;
        }
        if (sectionsBefore)
            return file.endIfReadable(pointerAt + 4);
    }
}

std::optional<std::uint64_t> mrwEnd(FormatEndReader& file)
{
    auto headerBytes = file.be32(4);
    if (!file.matches(0, std::string_view("\0MRM", 4)) || !headerBytes)
        return std::nullopt;
    // Blocks ("\0PRD", "\0TTW", "\0WBG", "\0RIF", "\0PAD") fill the header; the image data
    // follows it, its size given by the PRD block's sensor size and bits per sample.
    const std::uint64_t imageStart = 8 + std::uint64_t{*headerBytes};
    std::uint64_t offset = 8, imageBytes = 0;
    for (std::uint64_t blocks = 0; offset < imageStart; ++blocks) {
        auto next = skipSized(file, offset + 4, 4);
        if (blocks == kMaxMrwBlocks || file.byteAt(offset) != 0 || !next)
            return std::nullopt;
        if (file.matches(offset, std::string_view("\0PRD", 4)) && *next - offset >= kPrdBlockBytes) {
            auto rows = file.be16(offset + 16), columns = file.be16(offset + 18);
            auto bits = file.byteAt(offset + 24);
            if (!rows || !columns || (bits != 12 && bits != 16))
                return std::nullopt;
            imageBytes = std::uint64_t{*rows} * *columns * *bits / 8;
        }
        offset = *next;
    }
    if (offset != imageStart || imageBytes == 0)
        return std::nullopt;
    return file.endIfReadable(imageStart + imageBytes);
}

} // namespace salvyn
