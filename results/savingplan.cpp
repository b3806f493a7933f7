#include "results/savingplan.h"

#include "results/formatendtable.h"
#include "results/sectorbytereader.h"
#include "scan/naming.h"

namespace salvyn {

const char* lengthSourceText(LengthSource source)
{
    switch (source) {
    case LengthSource::Format: return "format";
    case LengthSource::NextFile: return "next file";
    case LengthSource::Range: break;
    }
    return "range";
}

void SavingPlan::add(const std::string& name, std::uint64_t firstSector, std::uint64_t endSector)
{
    m_files.push_back({name, firstSector, endSector});
    m_firstSectors.insert(firstSector);
}

SaveLength SavingPlan::lengthOf(std::size_t index, ByteReader& medium) const
{
    const FoundFile& file = m_files.at(index);
    if (auto length = formatEndLength(medium, pathExtension(file.name), file.firstSector * kSectorSize))
        return {*length, LengthSource::Format};
    // A raw-file range ends one sector into the next file (the sector of its header); a
    // file found inside the range by the other pass ends it earlier still.
    const auto next = m_firstSectors.upper_bound(file.firstSector);
    if (next != m_firstSectors.end() && *next <= file.endSector)
        return {(*next - file.firstSector) * kSectorSize, LengthSource::NextFile};
    const std::uint64_t sectors = file.endSector > file.firstSector ? file.endSector - file.firstSector : 0;
    return {sectors * kSectorSize, LengthSource::Range};
}

SavedFile SavingPlan::save(std::size_t index, const SaveLength& length, FileSaver& saver, SectorStream& medium) const
{
    const FoundFile& file = m_files.at(index);
    SavedFile result = saver.saveBytes(file.name, file.firstSector, file.endSector, length.bytes, medium);
    result.lengthFrom = lengthSourceText(length.source);
    return result;
}

void SavingPlan::saveAll(FileSaver& saver, SectorStream& medium, const std::function<void(const SavedFile&)>& saved) const
{
    SectorByteReader reader(medium);
    for (std::size_t index = 0; index < m_files.size(); ++index)
        saved(save(index, lengthOf(index, reader), saver, medium));
}

} // namespace salvyn
