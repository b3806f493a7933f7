#pragma once
// Disk images held in memory, opened by name like media.
#include "platform/sectorsourceopener.h"

#include <map>
#include <memory>
#include <vector>

namespace salvyn {

using DiskImageBytes = std::shared_ptr<const std::vector<std::uint8_t>>;

class MemorySectorStream : public SectorStream {
public:
    explicit MemorySectorStream(DiskImageBytes bytes);
    bool seekToSector(std::uint64_t sector) override;
    std::size_t readSector(std::uint8_t* sector) override;
    std::size_t readSectorsInto(std::uint8_t* into, std::size_t count) override;
    std::uint64_t sectorCount() const override;

private:
    DiskImageBytes m_bytes;
    std::uint64_t m_position = 0;
};

class MemorySectorOpener : public SectorSourceOpener {
public:
    void addImage(const std::string& identifier, std::vector<std::uint8_t> bytes);
    SectorSourceOpening open(const std::string& identifierOrPath) override;
    int openCount() const { return m_openCount; }

private:
    std::map<std::string, DiskImageBytes> m_images;
    int m_openCount = 0;
};

} // namespace salvyn
