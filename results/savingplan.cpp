#include "results/savingplan.h"

#include "results/filecondition.h"
#include "results/formatendtable.h"
#include "scan/naming.h"

namespace salvyn {

namespace {
std::uint64_t endByte(std::uint64_t sector) { return sector >= UINT64_MAX / kSectorSize ? UINT64_MAX : sector * kSectorSize; }
} // namespace

const char* lengthSourceText(LengthSource source)
{
    switch (source) {
    case LengthSource::Format: return "format";
    case LengthSource::NextFile: return "next file";
    case LengthSource::Cap: return "cap";
    case LengthSource::Range: break;
    }
    return "range";
}

void SavingPlan::add(const std::string& name, std::uint64_t firstSector, std::uint64_t endSector)
{
    m_files.push_back({name, firstSector, endSector});
    m_typeAt.emplace(firstSector, pathExtension(name));
}

std::optional<std::uint64_t> SavingPlan::nextStartAfter(std::uint64_t sector, ByteReader& medium) const
{
    for (auto next = m_typeAt.upper_bound(sector); next != m_typeAt.end(); ++next) {
        auto known = m_recognisedAt.find(next->first);
        if (known == m_recognisedAt.end()) {
            const std::uint64_t firstByte = next->first * kSectorSize;
            // Its own search for an end mark stops at the file after it, as its save would.
            const auto after = std::next(next);
            const std::uint64_t scanEnd = after == m_typeAt.end() ? UINT64_MAX : endByte(after->first);
            const bool recognised =
                findFormatEnd(medium, next->second, firstByte, endByte(m_searchedEnd), scanEnd).recognisedStart;
            known = m_recognisedAt.emplace(next->first, recognised).first;
        }
        if (known->second)
            return next->first;
    }
    return std::nullopt;
}

SaveLength SavingPlan::lengthOf(std::size_t index, ByteReader& medium) const
{
    const FoundFile& file = m_files.at(index);
    const std::string type = pathExtension(file.name);
    const std::uint64_t firstByte = file.firstSector * kSectorSize;
    const std::optional<std::uint64_t> next = nextStartAfter(file.firstSector, medium);
    const FormatEndFinding finding =
        findFormatEnd(medium, type, firstByte, endByte(m_searchedEnd), next ? endByte(*next) : UINT64_MAX);
    if (finding.length)
        return {*finding.length, LengthSource::Format};
    // A raw-file range ends one sector into the next file (the sector of its header); a
    // file found inside the range by the other pass ends it earlier still.
    SaveLength length{0, LengthSource::Range};
    if (next && *next <= file.endSector)
        length = {(*next - file.firstSector) * kSectorSize, LengthSource::NextFile};
    else if (file.endSector > file.firstSector)
        length.bytes = (file.endSector - file.firstSector) * kSectorSize;
    const std::uint64_t cap = fallbackCapBytes(type, finding.recognisedStart);
    if (length.bytes > cap)
        length = {cap, LengthSource::Cap};
    return length;
}

SavedFile SavingPlan::save(std::size_t index, const SaveLength& length, FileSaver& saver, SectorStream& medium,
                           const std::string& savedName) const
{
    const FoundFile& file = m_files.at(index);
    SavedFile result = saver.saveBytes(savedName.empty() ? file.name : savedName, file.firstSector, file.endSector,
                                       length.bytes, medium);
    result.type = pathExtension(file.name);
    result.foundName = file.name;
    result.lengthFrom = lengthSourceText(length.source);
    result.condition = fileConditionText(fileConditionOf(result.type, length.source, result.unreadableSectors));
    return result;
}

} // namespace salvyn
