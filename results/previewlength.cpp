#include "results/previewlength.h"

#include "results/savingplan.h"
#include "results/sectorbytereader.h"

namespace salvyn {

std::optional<std::uint64_t> wholeFileBeyondRange(const std::string& name, std::uint64_t firstSector,
                                                  std::uint64_t endSector, SectorStream& medium)
{
    const std::uint64_t range = endSector > firstSector ? (endSector - firstSector) * kSectorSize : 0;
    SavingPlan plan;
    plan.add(name, firstSector, endSector);
    plan.setSearchedEnd(medium.sectorCount());
    SectorByteReader reader(medium);
    const SaveLength length = plan.lengthOf(0, reader);
    if (length.source != LengthSource::Format || length.bytes <= range)
        return std::nullopt;
    return (length.bytes + kSectorSize - 1) / kSectorSize * kSectorSize;
}

} // namespace salvyn
