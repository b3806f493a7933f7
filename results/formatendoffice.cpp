// Format ends of office documents: compound files (Word, Excel, PowerPoint, Outlook
// messages), rich text and PostScript.
#include "results/formatends.h"

#include <algorithm>
#include <span>
#include <string_view>
#include <vector>

namespace salvyn {

namespace {

constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
constexpr std::uint32_t kHighestSectorNumber = 0xFFFFFFFA;
constexpr std::uint64_t kHeaderDifatEntries = 109;

struct CompoundHeader {
    std::uint64_t sectorBytes;
    std::uint64_t fatSectors;
    std::uint32_t firstDifatSector;
    std::uint64_t difatSectors;
    std::uint32_t firstDirectorySector;
};

std::optional<CompoundHeader> compoundHeader(FormatEndReader& file)
{
    auto major = file.le16(0x1A);
    auto byteOrder = file.le16(0x1C);
    auto sectorShift = file.le16(0x1E);
    auto miniShift = file.le16(0x20);
    auto fatSectors = file.le32(0x2C);
    auto directory = file.le32(0x30);
    auto firstDifat = file.le32(0x44);
    auto difatSectors = file.le32(0x48);
    if (!file.matches(0, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") || !major || byteOrder != 0xFFFE || !miniShift
        || *miniShift != 6 || !fatSectors || !directory || !firstDifat || !difatSectors)
        return std::nullopt;
    // Version 3 has 512-byte sectors, version 4 4096-byte ones; no other pairing exists.
    if (!((*major == 3 && sectorShift == 9) || (*major == 4 && sectorShift == 12)))
        return std::nullopt;
    const std::uint64_t sectorBytes = std::uint64_t{1} << *sectorShift;
    // Every FAT sector is a distinct sector of the file, and the DIFAT chain holds no
    // more sectors than it takes to list the FAT sectors the header has no room for.
    const std::uint64_t sectorsInLimit = file.limit() / sectorBytes;
    const std::uint64_t listedPerDifatSector = sectorBytes / 4 - 1;
    const std::uint64_t beyondHeader = *fatSectors > kHeaderDifatEntries ? *fatSectors - kHeaderDifatEntries : 0;
    if (*fatSectors == 0 || *fatSectors > sectorsInLimit
        || *difatSectors > (beyondHeader + listedPerDifatSector - 1) / listedPerDifatSector
        || *directory > kHighestSectorNumber)
        return std::nullopt;
    return CompoundHeader{sectorBytes, *fatSectors, *firstDifat, *difatSectors, *directory};
}

// The FAT's own sectors as the header's DIFAT and the DIFAT chain list them. Each must
// be a distinct sector: a list that names one sector many times would have the FAT walk
// read the same bytes over and over.
std::optional<std::vector<std::uint32_t>> fatSectorNumbers(FormatEndReader& file, const CompoundHeader& header,
                                                           std::uint64_t& highestSector)
{
    std::vector<std::uint32_t> fat;
    auto take = [&](std::uint32_t sector) {
        if (fat.size() == header.fatSectors || sector == kFreeSector)
            return true;
        if (sector > kHighestSectorNumber)
            return false;
        fat.push_back(sector);
        highestSector = std::max<std::uint64_t>(highestSector, sector);
        return true;
    };
    for (std::uint64_t i = 0; i < kHeaderDifatEntries; ++i) {
        auto sector = file.le32(0x4C + 4 * i);
        if (!sector || !take(*sector))
            return std::nullopt;
    }
    const std::uint64_t entriesPerSector = header.sectorBytes / 4;
    std::uint32_t difatSector = header.firstDifatSector;
    // The chain is as long as the header says, which bounds a chain that loops.
    for (std::uint64_t n = 0; n < header.difatSectors && fat.size() < header.fatSectors; ++n) {
        if (difatSector > kHighestSectorNumber)
            return std::nullopt;
        highestSector = std::max<std::uint64_t>(highestSector, difatSector);
        const std::uint64_t at = (std::uint64_t{difatSector} + 1) * header.sectorBytes;
        for (std::uint64_t i = 0; i + 1 < entriesPerSector; ++i) {
            auto sector = file.le32(at + 4 * i);
            if (!sector || !take(*sector))
                return std::nullopt;
        }
        auto next = file.le32(at + 4 * (entriesPerSector - 1));
        if (!next)
            return std::nullopt;
        difatSector = *next;
    }
    if (fat.size() != header.fatSectors)
        return std::nullopt;
    std::vector<std::uint32_t> sorted = fat;
    std::sort(sorted.begin(), sorted.end());
    if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end())
        return std::nullopt;
    return fat;
}

bool isDigit(std::uint8_t c) { return c >= '0' && c <= '9'; }
bool isLetter(std::uint8_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Reads a file forward a block at a time, so that a scan over plain bytes costs no call
// a byte.
class ForwardBlocks {
public:
    explicit ForwardBlocks(FormatEndReader& file) : m_file(file), m_bytes(kBlockBytes) {}

    // The bytes from `offset` to the end of a block: fewer where the limit or the medium
    // ends, none past them.
    std::span<const std::uint8_t> from(std::uint64_t offset)
    {
        if (offset < m_start || offset >= m_start + m_count) {
            m_start = offset;
            const std::uint64_t left = m_file.limit() - std::min(offset, m_file.limit());
            m_count = static_cast<std::size_t>(std::min<std::uint64_t>(kBlockBytes, left));
            // Where the medium ends inside the block, what it still holds is taken byte by byte.
            if (!m_file.read(offset, m_bytes.data(), m_count)) {
                std::size_t readable = 0;
                for (auto b = m_file.byteAt(offset); b && readable < m_count; b = m_file.byteAt(offset + readable))
                    m_bytes[readable++] = *b;
                m_count = readable;
            }
        }
        return {m_bytes.data() + (offset - m_start), static_cast<std::size_t>(m_start + m_count - offset)};
    }

private:
    static constexpr std::size_t kBlockBytes = 32 * 1024;
    FormatEndReader& m_file;
    std::vector<std::uint8_t> m_bytes;
    std::uint64_t m_start = 0;
    std::size_t m_count = 0;
};

// The offset after a line end at `at`, if one is there: CR LF, LF or CR.
std::uint64_t afterLineEnd(FormatEndReader& file, std::uint64_t at)
{
    if (file.byteAt(at) == '\r')
        ++at;
    if (file.byteAt(at) == '\n')
        ++at;
    return at;
}

// Parts that may carry a %%EOF of their own: an embedded document (an EPS figure), or a
// font or other resource copied whole into the file.
constexpr std::string_view kEmbeddedParts[] = {"Document", "Resource", "Font", "File", "ProcSet"};

// +1 where a %%Begin comment of an embedded part stands at `at`, -1 at its %%End, else 0.
int embeddingStep(FormatEndReader& file, std::uint64_t at)
{
    const bool begins = file.matches(at, "%%Begin");
    if (!begins && !file.matches(at, "%%End"))
        return 0;
    const std::uint64_t kindAt = at + (begins ? 7 : 5);
    for (std::string_view kind : kEmbeddedParts)
        if (file.matches(kindAt, kind))
            return begins ? 1 : -1;
    return 0;
}
constexpr std::string_view kEndOfFile = "%%EOF";

} // namespace

std::optional<std::uint64_t> compoundFileEnd(FormatEndReader& file)
{
    const auto header = compoundHeader(file);
    if (!header)
        return std::nullopt;
    std::uint64_t highestSector = 0;
    const auto fat = fatSectorNumbers(file, *header, highestSector);
    if (!fat)
        return std::nullopt;
    // The FAT marks every sector a chain uses (streams, the directory, the mini FAT, the
    // FAT and DIFAT themselves); the file ends with the highest one that is not free.
    const std::uint64_t entriesPerSector = header->sectorBytes / 4;
    std::vector<std::uint8_t> entries(static_cast<std::size_t>(header->sectorBytes));
    for (std::size_t k = 0; k < fat->size(); ++k) {
        if (!file.read((std::uint64_t{(*fat)[k]} + 1) * header->sectorBytes, entries.data(), entries.size()))
            return std::nullopt;
        for (std::uint64_t i = 0; i < entriesPerSector; ++i) {
            const std::uint8_t* e = entries.data() + 4 * i;
            const std::uint32_t next = e[0] | e[1] << 8 | e[2] << 16 | std::uint32_t{e[3]} << 24;
            if (next != kFreeSector)
                highestSector = std::max(highestSector, k * entriesPerSector + i);
        }
    }
    if (header->firstDirectorySector > highestSector)
        return std::nullopt;
    return file.endIfReadable((highestSector + 2) * header->sectorBytes);
}

std::optional<std::uint64_t> rtfEnd(FormatEndReader& file)
{
    if (!file.matches(0, "{\\rtf"))
        return std::nullopt;
    ForwardBlocks blocks(file);
    std::uint64_t depth = 0;
    std::uint64_t at = 0;
    for (;;) {
        // Plain text is skipped a block at a time. A NUL never stands in rich text outside
        // \bin data: it is free space or another file.
        const auto run = blocks.from(at);
        const auto special = std::find_if(run.begin(), run.end(),
                                          [](std::uint8_t c) { return c == '{' || c == '}' || c == '\\' || c == 0; });
        at += static_cast<std::uint64_t>(special - run.begin());
        if (run.empty() || (special != run.end() && *special == 0))
            return std::nullopt;
        if (special == run.end())
            continue;
        const std::uint8_t c = *special;
        ++at;
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0)
                return file.endIfReadable(afterLineEnd(file, at));
        } else {
            const auto escaped = file.byteAt(at);
            if (!escaped)
                return std::nullopt;
            if (!isLetter(*escaped)) {
                ++at;  // \{ \} \\ and the other control symbols
                continue;
            }
            const std::uint64_t wordStart = at;
            while (file.byteAt(at) && isLetter(*file.byteAt(at)) && at - wordStart < 32)
                ++at;
            const bool isBin = at - wordStart == 3 && file.matches(wordStart, "bin");
            if (file.byteAt(at) == '-')
                ++at;
            std::uint64_t parameter = 0;
            const std::uint64_t digitsStart = at;
            // Ten digits hold any length a file within the limit can have.
            while (file.byteAt(at) && isDigit(*file.byteAt(at)) && at - digitsStart < 10)
                parameter = parameter * 10 + (*file.byteAt(at++) - '0');
            if (file.byteAt(at) == ' ')
                ++at;
            if (isBin) {
                if (parameter > file.limit() - std::min(at, file.limit()))
                    return std::nullopt;
                at += parameter;
            }
        }
    }
}

std::optional<std::uint64_t> postScriptEnd(FormatEndReader& file)
{
    if (!file.matches(0, "%!"))
        return std::nullopt;
    // Comments of the document structure stand at the start of a line. The file ends at
    // its own %%EOF, not at one of a part it embeds.
    std::uint64_t depth = 0;
    std::uint64_t offset = 2;
    while (auto comment = file.find(offset, "%%")) {
        offset = *comment + 2;
        const auto before = file.byteAt(*comment - 1);
        if (!before || (*before != '\n' && *before != '\r'))
            continue;
        const int step = embeddingStep(file, *comment);
        if (step > 0)
            ++depth;
        else if (step < 0 && depth > 0)
            --depth;
        else if (depth == 0 && file.matches(*comment, kEndOfFile))
            return file.endIfReadable(afterLineEnd(file, *comment + kEndOfFile.size()));
    }
    return std::nullopt;
}

std::optional<std::uint64_t> epsEnd(FormatEndReader& file)
{
    if (!file.matches(0, "\xC5\xD0\xD3\xC6"))
        return postScriptEnd(file);
    // The DOS binary header: the PostScript, a Windows metafile and a TIFF preview, each
    // as an offset and a length; the file ends with the last of them.
    constexpr std::uint64_t kHeaderBytes = 30;
    std::uint64_t end = kHeaderBytes;
    for (std::uint64_t field = 4; field < 28; field += 8) {
        auto offset = file.le32(field);
        auto length = file.le32(field + 4);
        if (!offset || !length)
            return std::nullopt;
        if (*length == 0)
            continue;
        if (*offset < kHeaderBytes)
            return std::nullopt;
        end = std::max(end, std::uint64_t{*offset} + *length);
    }
    auto postScriptAt = file.le32(4);
    if (file.le32(8) == 0u || !file.matches(*postScriptAt, "%!"))
        return std::nullopt;
    return file.endIfReadable(end);
}

} // namespace salvyn
