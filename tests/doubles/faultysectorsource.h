#pragma once
// A medium with bad places, for tests: reads of chosen sectors fail (after scribbling over
// the caller's buffer, as a partial read may), and seeks to chosen sectors fail. A test may
// also be called before each read, with the sector about to be read, to act at that moment.
#include "platform/sectorsourceopener.h"

#include <functional>
#include <memory>
#include <set>

namespace salvyn {

struct SectorFaults {
    std::set<std::uint64_t> unreadableSectors;
    std::set<std::uint64_t> unseekableSectors;
    std::function<void(std::uint64_t)> beforeRead = {}; // set: sectors are read one by one
};

class FaultySectorStream : public SectorStream {
public:
    FaultySectorStream(std::unique_ptr<SectorStream> inner, SectorFaults faults);
    bool seekToSector(std::uint64_t sector) override;
    std::size_t readSector(std::uint8_t* sector) override;
    std::size_t readSectorsInto(std::uint8_t* into, std::size_t count) override;
    std::uint64_t sectorCount() const override { return m_inner->sectorCount(); }

private:
    std::unique_ptr<SectorStream> m_inner;
    SectorFaults m_faults;
    std::uint64_t m_position = 0;
};

class FaultySectorOpener : public SectorSourceOpener {
public:
    FaultySectorOpener(SectorSourceOpener& inner, SectorFaults faults);
    SectorSourceOpening open(const std::string& identifierOrPath) override;

private:
    SectorSourceOpener& m_inner;
    SectorFaults m_faults;
};

} // namespace salvyn
