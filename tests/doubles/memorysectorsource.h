#pragma once
// Disk images held in memory, opened by name like media.
#include "platform/sectorsourceopener.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace salvyn {

using DiskImageBytes = std::shared_ptr<const std::vector<std::uint8_t>>;

class MemorySectorStream : public SectorStream {
public:
    explicit MemorySectorStream(DiskImageBytes bytes) : m_bytes(std::move(bytes)) {}
    bool seekToSector(std::uint64_t sector) override
    {
        if (sector > sectorCount())
            return false;
        m_position = sector;
        return true;
    }
    std::size_t readSector(std::uint8_t* sector) override { return readSectorsInto(sector, 1); }
    std::size_t readSectorsInto(std::uint8_t* into, std::size_t count) override
    {
        const auto done = static_cast<std::size_t>(std::min<std::uint64_t>(count, sectorCount() - m_position));
        if (done != 0)
            std::memcpy(into, m_bytes->data() + m_position * kSectorSize, done * kSectorSize);
        m_position += done;
        return done;
    }
    std::size_t sectorsAtHand(const std::uint8_t*& sectors, std::size_t most) override
    {
        sectors = m_bytes->data() + m_position * kSectorSize;
        return static_cast<std::size_t>(std::min<std::uint64_t>(most, sectorCount() - m_position));
    }
    void skipSectors(std::uint64_t count) override { m_position += count; }
    std::uint64_t sectorCount() const override { return m_bytes->size() / kSectorSize; }

private:
    DiskImageBytes m_bytes;
    std::uint64_t m_position = 0;
};

class MemorySectorOpener : public SectorSourceOpener {
public:
    void addImage(const std::string& identifier, std::vector<std::uint8_t> bytes)
    {
        m_images[identifier] = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
    }
    SectorSourceOpening open(const std::string& identifierOrPath) override
    {
        ++m_openCount;
        const auto found = m_images.find(identifierOrPath);
        if (found == m_images.end())
            return {nullptr, {ENOENT, identifierOrPath, "cannot open " + identifierOrPath + ": " + std::strerror(ENOENT)}};
        return {std::make_unique<MemorySectorStream>(found->second), {}};
    }
    int openCount() const { return m_openCount; }

private:
    std::map<std::string, DiskImageBytes> m_images;
    int m_openCount = 0;
};

} // namespace salvyn
