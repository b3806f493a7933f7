#include "doubles/faultysectorsource.h"

#include <cstring>

namespace salvyn {

FaultySectorStream::FaultySectorStream(std::unique_ptr<SectorStream> inner, SectorFaults faults)
    : m_inner(std::move(inner)), m_faults(std::move(faults))
{
}

bool FaultySectorStream::seekToSector(std::uint64_t sector)
{
    if (m_faults.unseekableSectors.count(sector) || !m_inner->seekToSector(sector))
        return false;
    m_position = sector;
    return true;
}

std::size_t FaultySectorStream::readSector(std::uint8_t* sector)
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

std::size_t FaultySectorStream::readSectorsInto(std::uint8_t* into, std::size_t count)
{
    if (m_faults.beforeRead)
        return 0;
    // Up to the next bad place only; that one is met by a single read.
    const auto nextBad = m_faults.unreadableSectors.lower_bound(m_position);
    if (nextBad != m_faults.unreadableSectors.end())
        count = static_cast<std::size_t>(std::min<std::uint64_t>(count, *nextBad - m_position));
    const std::size_t got = count == 0 ? 0 : m_inner->readSectorsInto(into, count);
    m_position += got;
    return got;
}

FaultySectorOpener::FaultySectorOpener(SectorSourceOpener& inner, SectorFaults faults)
    : m_inner(inner), m_faults(std::move(faults))
{
}

SectorSourceOpening FaultySectorOpener::open(const std::string& identifierOrPath)
{
    SectorSourceOpening opening = m_inner.open(identifierOrPath);
    if (opening.stream)
        opening.stream = std::make_unique<FaultySectorStream>(std::move(opening.stream), m_faults);
    return opening;
}

} // namespace salvyn
