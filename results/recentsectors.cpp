#include "results/recentsectors.h"

#include <algorithm>
#include <cstring>

namespace salvyn {

RecentSectorsStream::RecentSectorsStream(SectorStream& medium) : m_medium(medium) {}

bool RecentSectorsStream::seekToSector(std::uint64_t sector)
{
    if (!m_medium.seekToSector(sector))
        return false;
    m_position = sector;
    return true;
}

std::size_t RecentSectorsStream::readSector(std::uint8_t* sector)
{
    return readSectorsInto(sector, 1);
}

std::size_t RecentSectorsStream::readSectorsInto(std::uint8_t* into, std::size_t count)
{
    std::size_t done = 0;
    std::size_t sectorsInRun = 0;
    while (done < count) {
        const std::uint8_t* bytes = sectorAtPosition(sectorsInRun);
        if (bytes == nullptr)
            break;
        const std::size_t taken = std::min(count - done, sectorsInRun);
        std::memcpy(into + done * kSectorSize, bytes, taken * kSectorSize);
        done += taken;
        m_position += taken;
    }
    return done;
}

const std::uint8_t* RecentSectorsStream::sectorAtPosition(std::size_t& sectorsInRun)
{
    auto after = m_runs.upper_bound(m_position);
    if (after != m_runs.begin()) {
        const auto run = std::prev(after);
        if (m_position < run->first + run->second.sectors) {
            m_uses.splice(m_uses.begin(), m_uses, run->second.use);
            const std::uint64_t at = m_position - run->first;
            sectorsInRun = run->second.sectors - static_cast<std::size_t>(at);
            return run->second.bytes.data() + at * kSectorSize;
        }
    }
    if (m_position == m_lastUnreadable)
        return nullptr;
    // Up to the next run kept, so that no sector is kept twice.
    const std::size_t wanted = static_cast<std::size_t>(
        std::min<std::uint64_t>(kRunSectors, after == m_runs.end() ? kRunSectors : after->first - m_position));
    Run run;
    run.bytes.resize(wanted * kSectorSize);
    if (m_medium.seekToSector(m_position)) {
        run.sectors = m_medium.readSectorsInto(run.bytes.data(), wanted);
        while (run.sectors < wanted && m_medium.readSector(run.bytes.data() + run.sectors * kSectorSize) == 1)
            ++run.sectors;
    }
    if (run.sectors < wanted)
        m_lastUnreadable = m_position + run.sectors;
    if (run.sectors == 0)
        return nullptr;
    const auto kept = m_runs.emplace_hint(after, m_position, std::move(run));
    m_uses.push_front(m_position);
    kept->second.use = m_uses.begin();
    if (m_runs.size() > kMostRuns) {
        m_runs.erase(m_uses.back());
        m_uses.pop_back();
    }
    sectorsInRun = kept->second.sectors;
    return kept->second.bytes.data();
}

} // namespace salvyn
