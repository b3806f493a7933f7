#include "doubles/memorysectorsource.h"

#include <cerrno>
#include <cstring>

namespace salvyn {

MemorySectorStream::MemorySectorStream(DiskImageBytes bytes) : m_bytes(std::move(bytes)) {}

bool MemorySectorStream::seekToSector(std::uint64_t sector)
{
    if (sector > sectorCount())
        return false;
    m_position = sector;
    return true;
}

std::size_t MemorySectorStream::readSector(std::uint8_t* sector)
{
    if (m_position >= sectorCount())
        return 0;
    std::memcpy(sector, m_bytes->data() + m_position * kSectorSize, kSectorSize);
    ++m_position;
    return 1;
}

std::size_t MemorySectorStream::readSectorsInto(std::uint8_t* into, std::size_t count)
{
    const std::uint64_t available = sectorCount() - std::min(m_position, sectorCount());
    const std::size_t done = static_cast<std::size_t>(std::min<std::uint64_t>(count, available));
    if (done == 0)
        return 0;
    std::memcpy(into, m_bytes->data() + m_position * kSectorSize, done * kSectorSize);
    m_position += done;
    return done;
}

std::uint64_t MemorySectorStream::sectorCount() const
{
    return m_bytes->size() / kSectorSize;
}

void MemorySectorOpener::addImage(const std::string& identifier, std::vector<std::uint8_t> bytes)
{
    m_images[identifier] = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
}

SectorSourceOpening MemorySectorOpener::open(const std::string& identifierOrPath)
{
    ++m_openCount;
    SectorSourceOpening opening;
    const auto found = m_images.find(identifierOrPath);
    if (found == m_images.end()) {
        opening.error = {ENOENT, identifierOrPath, "cannot open " + identifierOrPath + ": " + std::strerror(ENOENT)};
        return opening;
    }
    opening.stream = std::make_unique<MemorySectorStream>(found->second);
    return opening;
}

} // namespace salvyn
