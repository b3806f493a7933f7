#pragma once
// A medium with bad places, for tests: reads of chosen sectors fail (after scribbling over
// the caller's buffer, as a partial read may), and seeks to chosen sectors fail. A test may
// also be called before each read, with the sector about to be read, to act at that moment.
#include "platform/sectorsourceopener.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <set>

namespace salvyn {

struct SectorFaults {
    std::set<std::uint64_t> unreadableSectors;
    std::set<std::uint64_t> unseekableSectors;
    std::function<void(std::uint64_t)> beforeRead = {};
    bool oneByOne = false; // every sector read on its own, as the plainest medium answers
};

class FaultySectorStream : public SectorStream {
public:
    FaultySectorStream(std::unique_ptr<SectorStream> inner, SectorFaults faults)
        : m_inner(std::move(inner)), m_faults(std::move(faults)) {}
    bool seekToSector(std::uint64_t sector) override
    {
        if (m_faults.unseekableSectors.count(sector) || !m_inner->seekToSector(sector))
            return false;
        m_position = sector;
        return true;
    }
    std::size_t readSector(std::uint8_t* sector) override
    {
        if (m_faults.beforeRead)
            m_faults.beforeRead(m_position);
        if (m_faults.unreadableSectors.count(m_position)) {
            std::memset(sector, 0xA5, kSectorSize / 2);
            return 0;
        }
        const std::size_t got = m_inner->readSector(sector);
        m_position += got;
        return got;
    }
    // Up to the next bad place only; that one is met by a single read. With a test to call
    // before each read, one by one as a stream without bulk reads does.
    std::size_t readSectorsInto(std::uint8_t* into, std::size_t count) override
    {
        count = beforeBadPlace(count);
        const std::size_t got = count == 0 ? 0 : m_inner->readSectorsInto(into, count);
        m_position += got;
        return got;
    }
    std::size_t sectorsAtHand(const std::uint8_t*& sectors, std::size_t most) override
    {
        most = beforeBadPlace(most);
        return most == 0 ? 0 : m_inner->sectorsAtHand(sectors, most);
    }
    void skipSectors(std::uint64_t count) override
    {
        m_inner->skipSectors(count);
        m_position += count;
    }
    std::uint64_t sectorCount() const override { return m_inner->sectorCount(); }

private:
    // How many of `count` sectors may be read together: up to the next bad place; none with a
    // test to call before each read.
    std::size_t beforeBadPlace(std::size_t count) const
    {
        if (m_faults.beforeRead || m_faults.oneByOne)
            return 0;
        const auto nextBad = m_faults.unreadableSectors.lower_bound(m_position);
        if (nextBad != m_faults.unreadableSectors.end())
            count = static_cast<std::size_t>(std::min<std::uint64_t>(count, *nextBad - m_position));
        return count;
    }

    std::unique_ptr<SectorStream> m_inner;
    SectorFaults m_faults;
    std::uint64_t m_position = 0;
};

class FaultySectorOpener : public SectorSourceOpener {
public:
    FaultySectorOpener(SectorSourceOpener& inner, SectorFaults faults) : m_inner(inner), m_faults(std::move(faults)) {}
    SectorSourceOpening open(const std::string& identifierOrPath) override
    {
        SectorSourceOpening opening = m_inner.open(identifierOrPath);
        if (opening.stream)
            opening.stream = std::make_unique<FaultySectorStream>(std::move(opening.stream), m_faults);
        return opening;
    }

private:
    SectorSourceOpener& m_inner;
    SectorFaults m_faults;
};

} // namespace salvyn
