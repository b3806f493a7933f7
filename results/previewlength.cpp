#include "results/previewlength.h"

#include "results/savingplan.h"
#include "results/sectorbytereader.h"

namespace salvyn {
namespace {

// Sectors that cannot be read once the caller has given up: the format end stops there.
class UntilCalledOff final : public SectorStream {
public:
    UntilCalledOff(SectorStream& inner, const std::function<bool()>& keepGoing)
        : m_inner(inner), m_keepGoing(keepGoing) {}
    bool seekToSector(std::uint64_t sector) override { return m_inner.seekToSector(sector); }
    std::size_t readSector(std::uint8_t* sector) override
    {
        if (m_calledOff || (m_calledOff = !m_keepGoing()))
            return 0;
        return m_inner.readSector(sector);
    }
    std::uint64_t sectorCount() const override { return m_inner.sectorCount(); }
    bool calledOff() const { return m_calledOff; }

private:
    SectorStream& m_inner;
    const std::function<bool()>& m_keepGoing;
    bool m_calledOff = false;
};

} // namespace

std::optional<std::uint64_t> wholeFileBeyondRange(const std::string& name, std::uint64_t firstSector,
                                                  std::uint64_t endSector, SectorStream& medium,
                                                  const std::function<bool()>& keepGoing)
{
    const std::uint64_t range = endSector > firstSector ? (endSector - firstSector) * kSectorSize : 0;
    SavingPlan plan;
    plan.add(name, firstSector, endSector);
    plan.setSearchedEnd(medium.sectorCount());
    UntilCalledOff stoppable(medium, keepGoing);
    SectorByteReader reader(stoppable);
    const SaveLength length = plan.lengthOf(0, reader);
    if (stoppable.calledOff() || length.source != LengthSource::Format || length.bytes <= range)
        return std::nullopt;
    return (length.bytes + kSectorSize - 1) / kSectorSize * kSectorSize;
}

} // namespace salvyn
