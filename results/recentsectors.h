#pragma once
// A sector stream that keeps the sectors it read last, so that saving a found file reads
// the medium once: the walk to the file's end reads its sectors, and the copy that follows
// (and the next file's start, walked to know whether it is real) takes them from here. Kept
// in runs of up to 64 KiB, each read from the sector first asked for on, up to a fixed
// total, the least recently used given up first. A sector that cannot be read is never kept;
// the last one met is not asked for again at once (a failing read can take seconds). One
// thread.
#include "platform/sectorstream.h"

#include <cstdint>
#include <list>
#include <map>
#include <vector>

namespace salvyn {

class RecentSectorsStream : public SectorStream {
public:
    explicit RecentSectorsStream(SectorStream& medium);

    bool seekToSector(std::uint64_t sector) override;
    std::size_t readSector(std::uint8_t* sector) override;
    std::size_t readSectorsInto(std::uint8_t* into, std::size_t count) override;
    std::uint64_t sectorCount() const override { return m_medium.sectorCount(); }

    static constexpr std::size_t kRunSectors = 128;
    static constexpr std::size_t kMostRuns = 512; // 32 MiB

private:
    struct Run {
        std::vector<std::uint8_t> bytes;
        std::size_t sectors = 0; // read from the run's first on, before the first unreadable one
        std::list<std::uint64_t>::iterator use;
    };
    // The bytes of the sector at the position, read with the run that follows it when no
    // run holds it; nullptr when the medium cannot read it.
    const std::uint8_t* sectorAtPosition(std::size_t& sectorsInRun);

    SectorStream& m_medium;
    std::uint64_t m_position = 0;
    std::uint64_t m_lastUnreadable = ~std::uint64_t{0};
    std::map<std::uint64_t, Run> m_runs; // by first sector, never overlapping
    std::list<std::uint64_t> m_uses;     // first sectors, most recently used first
};

} // namespace salvyn
