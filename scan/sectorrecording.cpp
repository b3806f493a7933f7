#include "scan/sectorrecording.h"

#include "scan/passreader.h"

#include <algorithm>
#include <cstring>

namespace salvyn {

namespace {

const std::uint8_t kBlankSector[kSectorSize] = {};

using Headers = std::map<std::uint64_t, SectorRecording::Header>;

// Replays sector by sector in order, as passes read: the next recorded header and unreadable
// sector are kept at hand, so each sector costs two comparisons; a seek looks them up again.
class ReplayStream : public SectorStream {
public:
    ReplayStream(const Headers& headers, const std::set<std::uint64_t>& unreadable, bool collectsSectors,
                 std::unique_ptr<SectorStream> medium)
        : m_headers(headers), m_unreadable(unreadable), m_collectsSectors(collectsSectors), m_medium(std::move(medium)),
          m_sectorCount(m_medium->sectorCount())
    {
        seekToSector(0);
    }

    bool seekToSector(std::uint64_t sector) override
    {
        if (sector > m_sectorCount)
            return false;
        m_position = sector;
        m_nextHeader = m_headers.lower_bound(sector);
        m_nextUnreadable = m_unreadable.lower_bound(sector);
        m_collectedEnd = 0;
        if (m_nextHeader != m_headers.begin()) {
            const auto last = std::prev(m_nextHeader);
            m_collectedEnd = last->first + last->second.collectedSectors;
        }
        return true;
    }

    std::size_t readSector(std::uint8_t* sector) override
    {
        const std::uint8_t* bytes = readSectorInPlace(sector);
        if (bytes == nullptr)
            return 0;
        if (bytes != sector)
            std::memcpy(sector, bytes, kSectorSize);
        return 1;
    }

    const std::uint8_t* readSectorInPlace(std::uint8_t* spare) override
    {
        if (m_position >= m_sectorCount || (m_nextUnreadable != m_unreadable.end() && *m_nextUnreadable == m_position))
            return nullptr;
        const std::uint8_t* bytes = kBlankSector;
        if (m_nextHeader != m_headers.end() && m_nextHeader->first == m_position) {
            bytes = m_nextHeader->second.bytes.data();
            m_collectedEnd = m_position + m_nextHeader->second.collectedSectors;
            ++m_nextHeader;
        } else if (collects()) {
            bytes = fromMedium(spare);
            if (bytes == nullptr)
                return nullptr;
        }
        ++m_position;
        return bytes;
    }

    std::size_t readSectorsInto(std::uint8_t* into, std::size_t count) override
    {
        if (!collects() || !mediumAtPosition())
            return 0;
        const std::uint64_t wanted = std::min<std::uint64_t>(count, sectorsBeforeRecorded(m_collectedEnd));
        const std::size_t arrived = m_medium->readSectorsInto(into, static_cast<std::size_t>(wanted));
        m_position += arrived;
        m_mediumAt = arrived == wanted ? m_position : kNowhere;
        return arrived;
    }

    // Outside a photo's sectors, everything up to the next recorded sector is blank.
    std::uint64_t blankSectorsAhead() const override { return collects() ? 0 : sectorsBeforeRecorded(m_sectorCount); }

    void skipSectors(std::uint64_t count) override { m_position += count; }

    // Among a photo's sectors, every one up to the next recorded sector was examined by the
    // first read and started nothing.
    std::uint64_t unmatchedSectorsAhead() const override { return collects() ? sectorsBeforeRecorded(m_collectedEnd) : 0; }

    std::uint64_t sectorCount() const override { return m_sectorCount; }

private:
    // How many sectors from the position come before `end` and before the next recorded
    // sector: a header, or one the first read could not read.
    std::uint64_t sectorsBeforeRecorded(std::uint64_t end) const
    {
        if (m_nextHeader != m_headers.end())
            end = std::min(end, m_nextHeader->first);
        if (m_nextUnreadable != m_unreadable.end())
            end = std::min(end, *m_nextUnreadable);
        return end > m_position ? end - m_position : 0;
    }

    // Whether the position lies among the sectors a photo after the last header may collect.
    bool collects() const { return m_collectsSectors && m_position < m_collectedEnd; }

    // Seeks the medium only when it is not already there: reading on needs no seek.
    bool mediumAtPosition()
    {
        if (m_mediumAt != m_position && !m_medium->seekToSector(m_position)) {
            m_mediumAt = kNowhere;
            return false;
        }
        m_mediumAt = m_position;
        return true;
    }

    const std::uint8_t* fromMedium(std::uint8_t* spare)
    {
        const std::uint8_t* bytes = mediumAtPosition() ? m_medium->readSectorInPlace(spare) : nullptr;
        m_mediumAt = bytes != nullptr ? m_position + 1 : kNowhere;
        return bytes;
    }

    static constexpr std::uint64_t kNowhere = ~std::uint64_t{0};

    const Headers& m_headers;
    const std::set<std::uint64_t>& m_unreadable;
    const bool m_collectsSectors;
    std::unique_ptr<SectorStream> m_medium;
    const std::uint64_t m_sectorCount;
    std::uint64_t m_position = 0;
    Headers::const_iterator m_nextHeader;
    std::set<std::uint64_t>::const_iterator m_nextUnreadable;
    std::uint64_t m_collectedEnd = 0; // a photo from the last header may collect up to here
    std::uint64_t m_mediumAt = kNowhere; // where the medium stream stands
};

class ReplayOpener : public SectorSourceOpener {
public:
    ReplayOpener(const Headers& headers, const std::set<std::uint64_t>& unreadable, bool collectsSectors,
                 SectorSourceOpener& medium)
        : m_headers(headers), m_unreadable(unreadable), m_collectsSectors(collectsSectors), m_medium(medium)
    {
    }

    // The medium is opened as the pass opens it, so a medium gone meanwhile fails the same way.
    SectorSourceOpening open(const std::string& identifierOrPath) override
    {
        SectorSourceOpening opening = m_medium.open(identifierOrPath);
        if (opening.stream)
            opening.stream =
                std::make_unique<ReplayStream>(m_headers, m_unreadable, m_collectsSectors, std::move(opening.stream));
        return opening;
    }

private:
    const Headers& m_headers;
    const std::set<std::uint64_t>& m_unreadable;
    const bool m_collectsSectors;
    SectorSourceOpener& m_medium;
};

} // namespace

SectorRecording::SectorRecording(const SignatureList& list, bool collectsSectors)
    : m_matcher(list), m_collectsSectors(collectsSectors)
{
}

void SectorRecording::examine(std::uint64_t number, const std::uint8_t* sector)
{
    if (sector == nullptr)
        m_unreadable.insert(number);
    else
        examine(number, sector, 1);
}

void SectorRecording::examine(std::uint64_t first, const std::uint8_t* sectors, std::size_t count)
{
    for (std::size_t k = 0; k < count; ++k) {
        const std::uint8_t* sector = sectors + k * kSectorSize;
        if (isBlankSector(sector))
            continue;
        const std::size_t match = m_matcher.firstMatch(sector);
        if (match == HeaderMatcher::kNoMatch)
            continue;
        Header& header = m_headers[first + k];
        std::memcpy(header.bytes.data(), sector, kSectorSize);
        header.collectedSectors = m_matcher.record(match).maximumSize / kSectorSize + 1;
    }
}

std::unique_ptr<SectorSourceOpener> SectorRecording::replay(SectorSourceOpener& medium) const
{
    return std::make_unique<ReplayOpener>(m_headers, m_unreadable, m_collectsSectors, medium);
}

} // namespace salvyn
