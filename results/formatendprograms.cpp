// Format ends of programs, fonts, mail stores, password safes, disk images and web
// pages: each says in its own tables where its last part lies.
#include "results/formatendchecksums.h"
#include "results/formatends.h"

#include <algorithm>
#include <string_view>

namespace salvyn {

namespace {

// A PE image as the Windows loader takes it has at most this many sections.
constexpr std::uint64_t kMaxPeSections = 96;
constexpr std::uint64_t kPeCertificateDirectory = 4;
constexpr std::uint64_t kCoffSymbolBytes = 18;
constexpr std::uint64_t kDosPageBytes = 512;

// The end of a PE image: its headers, every section's raw data, the COFF symbols and
// their strings where the linker left them, and the certificate table, whose entry is a
// file offset. An overlay appended after these is not part of the image.
std::optional<std::uint64_t> peImageEnd(FormatEndReader& file, std::uint64_t pe)
{
    auto sections = file.le16(pe + 6);
    auto symbolTable = file.le32(pe + 12);
    auto symbols = file.le32(pe + 16);
    auto optionalBytes = file.le16(pe + 20);
    const std::uint64_t optional = pe + 24;
    auto magic = file.le16(optional);
    if (!sections || !symbolTable || !symbols || !optionalBytes || !magic || *sections == 0
        || *sections > kMaxPeSections)
        return std::nullopt;
    if (*magic != 0x10B && *magic != 0x20B)
        return std::nullopt;
    const std::uint64_t directoryCountAt = optional + (*magic == 0x10B ? 92 : 108);
    auto directoryCount = file.le32(directoryCountAt);
    auto headersBytes = file.le32(optional + 60);
    if (!directoryCount || !headersBytes || directoryCountAt + 4 > optional + *optionalBytes)
        return std::nullopt;
    const std::uint64_t sectionTable = optional + *optionalBytes;
    std::uint64_t end = std::max<std::uint64_t>(*headersBytes, sectionTable + 40 * *sections);
    for (std::uint64_t s = 0; s < *sections; ++s) {
        auto rawBytes = file.le32(sectionTable + 40 * s + 16);
        auto rawAt = file.le32(sectionTable + 40 * s + 20);
        if (!rawBytes || !rawAt)
            return std::nullopt;
        if (*rawBytes != 0)
            end = std::max(end, std::uint64_t{*rawAt} + *rawBytes);
    }
    if (*directoryCount > kPeCertificateDirectory) {
        const std::uint64_t entry = directoryCountAt + 4 + 8 * kPeCertificateDirectory;
        auto certificateAt = file.le32(entry);
        auto certificateBytes = file.le32(entry + 4);
        if (!certificateAt || !certificateBytes || entry + 8 > sectionTable)
            return std::nullopt;
        if (*certificateBytes != 0)
            end = std::max(end, std::uint64_t{*certificateAt} + *certificateBytes);
    }
    if (*symbolTable != 0) {
        const std::uint64_t strings = std::uint64_t{*symbolTable} + kCoffSymbolBytes * *symbols;
        auto stringBytes = file.le32(strings);
        if (!stringBytes || *stringBytes < 4)
            return std::nullopt;
        end = std::max(end, strings + *stringBytes);
    }
    return file.endIfReadable(end);
}

struct ElfLayout {
    bool wide;  // 64-bit
    bool bigEndian;
};

std::optional<std::uint64_t> elfWord(FormatEndReader& file, const ElfLayout& elf, std::uint64_t at, bool address)
{
    if (address && elf.wide)
        return elf.bigEndian ? file.be64(at) : file.le64(at);
    auto v = elf.bigEndian ? file.be32(at) : file.le32(at);
    return v ? std::optional<std::uint64_t>(*v) : std::nullopt;
}

std::optional<std::uint64_t> elfHalf(FormatEndReader& file, const ElfLayout& elf, std::uint64_t at)
{
    auto v = elf.bigEndian ? file.be16(at) : file.le16(at);
    return v ? std::optional<std::uint64_t>(*v) : std::nullopt;
}

// Where one table entry's bytes end in the file, if it takes any.
std::optional<std::uint64_t> extentEnd(std::optional<std::uint64_t> offset, std::optional<std::uint64_t> size)
{
    if (!offset || !size || *size > ~std::uint64_t{0} - *offset)
        return std::nullopt;
    return *offset + *size;
}

constexpr std::uint32_t kElfNoBits = 8;
// With extended numbering the section count lives in section 0; a file within any limit
// we keep holds fewer section headers than this.
constexpr std::uint64_t kMaxElfSections = 1 << 20;

// The sfnt table directory at `at`: the end of its last table, padded to four bytes as
// font writers pad every table.
std::optional<std::uint64_t> sfntEnd(FormatEndReader& file, std::uint64_t at)
{
    constexpr std::uint64_t kMaxTables = 256;
    auto tables = file.be16(at + 4);
    if (!(file.matches(at, std::string_view("\0\1\0\0", 4)) || file.matches(at, "OTTO") || file.matches(at, "true")
          || file.matches(at, "typ1"))
        || !tables || *tables == 0 || *tables > kMaxTables)
        return std::nullopt;
    std::uint64_t end = at + 12 + 16 * std::uint64_t{*tables};
    for (std::uint64_t t = 0; t < *tables; ++t) {
        const std::uint64_t record = at + 12 + 16 * t;
        std::uint8_t tag[4];
        auto offset = file.be32(record + 8);
        auto length = file.be32(record + 12);
        if (!file.read(record, tag, 4) || !offset || !length)
            return std::nullopt;
        for (std::uint8_t c : tag)
            if (c < 0x20 || c > 0x7E)
                return std::nullopt;
        end = std::max(end, (std::uint64_t{*offset} + *length + 3) / 4 * 4);
    }
    return end;
}

constexpr std::uint64_t kVhdSectorBytes = 512;

// The Virtual PC footer's checksum: the ones' complement of its byte sum, the checksum
// field itself left out.
bool vhdFooterHolds(FormatEndReader& file, std::uint64_t at)
{
    std::uint8_t footer[kVhdSectorBytes];
    if (!file.read(at, footer, sizeof footer) || !file.matches(at, "conectix"))
        return false;
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < sizeof footer; ++i)
        if (i < 64 || i >= 68)
            sum += footer[i];
    const std::uint32_t stored = std::uint32_t{footer[64]} << 24 | footer[65] << 16 | footer[66] << 8 | footer[67];
    return ~sum == stored;
}

// `c` is `lower` or, for a letter, its capital.
bool sameIgnoringCase(std::uint8_t c, char lower)
{
    return c == lower || (lower >= 'a' && lower <= 'z' && c == lower - 'a' + 'A');
}

} // namespace

std::optional<std::uint64_t> windowsProgramEnd(FormatEndReader& file)
{
    auto lastPageBytes = file.le16(2);
    auto pages = file.le16(4);
    auto peAt = file.le32(0x3C);
    if (!file.matches(0, "MZ") || !lastPageBytes || !pages || !peAt)
        return std::nullopt;
    if (file.matches(*peAt, std::string_view("PE\0\0", 4)))
        return peImageEnd(file, *peAt);
    // Relocations at 0x40 or later leave room for e_lfanew: a newer image (NE, LE, or a
    // PE whose header lies past what can be read), whose size the DOS part does not say.
    auto relocationsAt = file.le16(0x18);
    if (!relocationsAt || *relocationsAt >= 0x40)
        return std::nullopt;
    // A DOS program: whole 512-byte pages, the last one holding e_cblp bytes when not 0.
    if (*pages == 0 || *lastPageBytes >= kDosPageBytes)
        return std::nullopt;
    return file.endIfReadable((std::uint64_t{*pages} - (*lastPageBytes != 0)) * kDosPageBytes + *lastPageBytes);
}

std::optional<std::uint64_t> elfEnd(FormatEndReader& file)
{
    auto elfClass = file.byteAt(4);
    auto data = file.byteAt(5);
    if (!file.matches(0, "\x7F" "ELF") || !elfClass || !data || (*elfClass != 1 && *elfClass != 2)
        || (*data != 1 && *data != 2) || file.byteAt(6) != 1)
        return std::nullopt;
    const ElfLayout elf{*elfClass == 2, *data == 2};
    const std::uint64_t w = elf.wide ? 8 : 4;  // an address or offset
    auto programHeaders = elfWord(file, elf, 0x18 + w, true);
    auto sectionHeaders = elfWord(file, elf, 0x18 + 2 * w, true);
    const std::uint64_t sizes = 0x18 + 3 * w + 4;
    auto headerBytes = elfHalf(file, elf, sizes);
    auto programEntryBytes = elfHalf(file, elf, sizes + 2);
    auto programCount = elfHalf(file, elf, sizes + 4);
    auto sectionEntryBytes = elfHalf(file, elf, sizes + 6);
    auto sectionCount = elfHalf(file, elf, sizes + 8);
    if (!programHeaders || !sectionHeaders || !headerBytes || !programEntryBytes || !programCount
        || !sectionEntryBytes || !sectionCount || *headerBytes != (elf.wide ? 64u : 52u))
        return std::nullopt;
    const std::uint64_t programEntry = elf.wide ? 56 : 32, sectionEntry = elf.wide ? 64 : 40;
    if ((*programCount != 0 && *programEntryBytes != programEntry)
        || (*sectionHeaders != 0 && *sectionEntryBytes != sectionEntry))
        return std::nullopt;
    std::uint64_t sections = *sectionHeaders == 0 ? 0 : *sectionCount;
    if (*sectionHeaders != 0 && sections == 0) {
        const auto extended = elfWord(file, elf, *sectionHeaders + (elf.wide ? 32 : 20), true);
        if (!extended || *extended > kMaxElfSections)
            return std::nullopt;
        sections = *extended;
    }
    const auto programTableEnd = extentEnd(programHeaders, *programCount * programEntry);
    const auto sectionTableEnd = extentEnd(sectionHeaders, sections * sectionEntry);
    if (!programTableEnd || !sectionTableEnd || *programTableEnd > file.limit() || *sectionTableEnd > file.limit())
        return std::nullopt;
    std::uint64_t end = std::max({*headerBytes, *programTableEnd, *sectionTableEnd});
    for (std::uint64_t p = 0; p < *programCount; ++p) {
        const std::uint64_t entry = *programHeaders + p * programEntry;
        const auto segmentEnd = extentEnd(elfWord(file, elf, entry + (elf.wide ? 8 : 4), true),
                                    elfWord(file, elf, entry + (elf.wide ? 32 : 16), true));
        if (!segmentEnd)
            return std::nullopt;
        end = std::max(end, *segmentEnd);
    }
    for (std::uint64_t s = 0; s < sections; ++s) {
        const std::uint64_t entry = *sectionHeaders + s * sectionEntry;
        const auto type = elfWord(file, elf, entry + 4, false);
        const auto sectionEnd = extentEnd(elfWord(file, elf, entry + (elf.wide ? 24 : 16), true),
                                    elfWord(file, elf, entry + (elf.wide ? 32 : 20), true));
        if (!type || !sectionEnd)
            return std::nullopt;
        if (*type != kElfNoBits)
            end = std::max(end, *sectionEnd);
    }
    return file.endIfReadable(end);
}

std::optional<std::uint64_t> outlookStoreEnd(FormatEndReader& file)
{
    // The header's CRC covers 471 bytes from byte 8; it starts at 0 and is not inverted.
    constexpr std::size_t kCrcBytes = 471;
    std::uint8_t covered[kCrcBytes];
    auto storedCrc = file.le32(4);
    auto version = file.le16(10);
    if (!file.matches(0, "!BDN") || !file.matches(8, "SM") || !storedCrc || !version || !file.read(8, covered, kCrcBytes)
        || ~crc32(covered, kCrcBytes, ~std::uint32_t{0}) != *storedCrc)
        return std::nullopt;
    // ANSI stores (versions 14 and 15) keep ibFileEof in 32 bits, Unicode ones (23 and
    // up) in 64 bits further on.
    std::optional<std::uint64_t> fileEnd;
    if (*version == 14 || *version == 15) {
        if (auto end32 = file.le32(0xA8))
            fileEnd = *end32;
    } else if (*version >= 23) {
        fileEnd = file.le64(0xB8);
    }
    // The first allocation map page always lies at 0x4400.
    constexpr std::uint64_t kFirstAllocationMapEnd = 0x4400 + 512;
    if (!fileEnd || *fileEnd < kFirstAllocationMapEnd)
        return std::nullopt;
    return file.endIfReadable(*fileEnd);
}

std::optional<std::uint64_t> keePassEnd(FormatEndReader& file)
{
    auto major = file.le16(10);
    if (!file.matches(0, "\x03\xD9\xA2\x9A\x67\xFB\x4B\xB5") || !major)
        return std::nullopt;
    // Version 3 encrypts its payload as one stream with no size outside it.
    if (*major == 3)
        return file.startWithoutEnd();
    if (*major != 4)
        return std::nullopt;
    constexpr std::uint64_t kMaxHeaderFields = 64;
    constexpr std::uint8_t kHighestFieldId = 12;
    std::uint64_t at = 12;
    for (std::uint64_t n = 0;; ++n) {
        auto id = file.byteAt(at);
        auto size = file.le32(at + 1);
        if (n == kMaxHeaderFields || !id || !size || *id > kHighestFieldId || *size > file.limit())
            return std::nullopt;
        at += 5 + std::uint64_t{*size};
        if (*id == 0)
            break;
    }
    // The header's SHA-256 and HMAC, then blocks of an HMAC, a size and the data, up to
    // an empty block. Writers make 1 MiB blocks, so a chain of far more blocks than a
    // file within the limit holds of them is no password safe.
    constexpr std::uint64_t kHashBytes = 32;
    constexpr std::uint64_t kMaxBlocks = 1 << 16;
    at += 2 * kHashBytes;
    for (std::uint64_t n = 0; n < kMaxBlocks; ++n) {
        auto size = file.le32(at + kHashBytes);
        if (!size || *size > file.limit())
            return std::nullopt;
        at += kHashBytes + 4 + *size;
        if (*size == 0)
            return file.endIfReadable(at);
    }
    return std::nullopt;
}

std::optional<std::uint64_t> fontEnd(FormatEndReader& file)
{
    const auto end = sfntEnd(file, 0);
    return end ? file.endIfReadable(*end) : std::nullopt;
}

std::optional<std::uint64_t> fontCollectionEnd(FormatEndReader& file)
{
    constexpr std::uint64_t kMaxFonts = 256;
    auto major = file.be16(4);
    auto fonts = file.be32(8);
    if (!file.matches(0, "ttcf") || !major || (*major != 1 && *major != 2) || !fonts || *fonts == 0 || *fonts > kMaxFonts)
        return std::nullopt;
    std::uint64_t end = 12 + 4 * std::uint64_t{*fonts};
    for (std::uint64_t f = 0; f < *fonts; ++f) {
        auto directory = file.be32(12 + 4 * f);
        const auto fontEnd = directory ? sfntEnd(file, *directory) : std::nullopt;
        if (!fontEnd)
            return std::nullopt;
        end = std::max(end, *fontEnd);
    }
    // Version 2 may add a digital signature table after the offsets.
    if (*major == 2) {
        const std::uint64_t signature = 12 + 4 * std::uint64_t{*fonts};
        auto length = file.be32(signature + 4);
        auto offset = file.be32(signature + 8);
        if (!length || !offset)
            return std::nullopt;
        end = std::max(end, signature + 12);
        if (*length != 0)
            end = std::max(end, (std::uint64_t{*offset} + *length + 3) / 4 * 4);
    }
    return file.endIfReadable(end);
}

std::optional<std::uint64_t> virtualPcDiskEnd(FormatEndReader& file)
{
    // A dynamic or differencing disk begins with a copy of its footer; a fixed disk has
    // the footer at its end only, so nothing at its start says its size.
    auto diskType = file.be32(60);
    auto headerAt = file.be64(16);
    if (!vhdFooterHolds(file, 0) || !diskType || (*diskType != 3 && *diskType != 4) || !headerAt
        || *headerAt > file.limit())
        return std::nullopt;
    auto tableAt = file.be64(*headerAt + 16);
    auto entries = file.be32(*headerAt + 28);
    auto blockBytes = file.be32(*headerAt + 32);
    if (!file.matches(*headerAt, "cxsparse") || !tableAt || !entries || !blockBytes || *blockBytes < kVhdSectorBytes
        || *blockBytes % kVhdSectorBytes != 0 || *tableAt > file.limit() || 4 * std::uint64_t{*entries} > file.limit())
        return std::nullopt;
    // Each block is its sector bitmap, padded to a sector, then the block's data.
    const std::uint64_t bitmapBytes = (*blockBytes / kVhdSectorBytes + 8 * kVhdSectorBytes - 1) / (8 * kVhdSectorBytes)
        * kVhdSectorBytes;
    const std::uint64_t tableEnd = (*tableAt + 4 * std::uint64_t{*entries} + kVhdSectorBytes - 1) / kVhdSectorBytes
        * kVhdSectorBytes;
    std::uint64_t end = std::max(*headerAt + 1024, tableEnd);
    constexpr std::uint32_t kUnusedBlock = 0xFFFFFFFF;
    std::uint8_t chunk[4096];
    for (std::uint64_t first = 0; first < *entries; first += sizeof chunk / 4) {
        const std::uint64_t count = std::min<std::uint64_t>(sizeof chunk / 4, *entries - first);
        if (!file.read(*tableAt + 4 * first, chunk, 4 * count))
            return std::nullopt;
        for (std::uint64_t i = 0; i < count; ++i) {
            const std::uint8_t* e = chunk + 4 * i;
            const std::uint32_t sector = std::uint32_t{e[0]} << 24 | e[1] << 16 | e[2] << 8 | e[3];
            if (sector != kUnusedBlock)
                end = std::max(end, std::uint64_t{sector} * kVhdSectorBytes + bitmapBytes + *blockBytes);
        }
    }
    // The footer again after the last block.
    if (!vhdFooterHolds(file, end))
        return std::nullopt;
    return file.endIfReadable(end + kVhdSectorBytes);
}

std::optional<std::uint64_t> htmlEnd(FormatEndReader& file)
{
    constexpr std::string_view kClosing = "html>";
    std::uint64_t offset = 0;
    while (auto tag = file.find(offset, "</")) {
        offset = *tag + 2;
        std::uint8_t name[kClosing.size()];
        if (!file.read(offset, name, sizeof name))
            return std::nullopt;
        bool closesPage = true;
        for (std::size_t i = 0; i < kClosing.size(); ++i)
            closesPage = closesPage && sameIgnoringCase(name[i], kClosing[i]);
        if (!closesPage)
            continue;
        std::uint64_t end = offset + kClosing.size();
        if (file.byteAt(end) == '\r')
            ++end;
        if (file.byteAt(end) == '\n')
            ++end;
        return file.endIfReadable(end);
    }
    return std::nullopt;
}

} // namespace salvyn
