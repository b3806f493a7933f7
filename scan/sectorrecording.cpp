#include "scan/sectorrecording.h"

#include "scan/passreader.h"

#include <algorithm>
#include <cstring>

namespace salvyn {

namespace {

const std::uint8_t kBlankSector[kSectorSize] = {};

using Headers = std::map<std::uint64_t, SectorRecording::Header>;

class ReplayStream : public SectorStream {
public:
    ReplayStream(const Headers& headers, const std::set<std::uint64_t>& unreadable, bool collectsSectors,
                 std::unique_ptr<SectorStream> medium)
        : m_headers(headers), m_unreadable(unreadable), m_collectsSectors(collectsSectors), m_medium(std::move(medium)),
          m_sectorCount(m_medium->sectorCount())
    {
    }

    bool seekToSector(std::uint64_t sector) override
    {
        if (sector > m_sectorCount)
            return false;
        m_position = sector;
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
        if (m_position >= m_sectorCount || m_unreadable.contains(m_position))
            return nullptr;
        const std::uint8_t* bytes = kBlankSector;
        if (const auto header = m_headers.find(m_position); header != m_headers.end())
            bytes = header->second.bytes.data();
        else if (collectedSectorsFromHere() > 0)
            bytes = fromMedium(spare);
        if (bytes != nullptr)
            ++m_position;
        return bytes;
    }

    std::size_t readSectorsInto(std::uint8_t* into, std::size_t count) override
    {
        const std::uint64_t collected = collectedSectorsFromHere();
        if (collected == 0 || m_headers.contains(m_position) || !m_medium->seekToSector(m_position))
            return 0;
        // Up to the next sector that is recorded: a header, or one the first read could not read.
        std::uint64_t wanted = std::min<std::uint64_t>(count, collected);
        if (const auto next = m_headers.upper_bound(m_position); next != m_headers.end())
            wanted = std::min(wanted, next->first - m_position);
        if (const auto bad = m_unreadable.lower_bound(m_position); bad != m_unreadable.end())
            wanted = std::min(wanted, *bad - m_position);
        const std::size_t arrived = m_medium->readSectorsInto(into, static_cast<std::size_t>(wanted));
        m_position += arrived;
        return arrived;
    }

    std::uint64_t sectorCount() const override { return m_sectorCount; }

private:
    // How many sectors from the position on a photo may still collect: those after a header
    // up to its size limit (the next header ends it anyway). 0 outside photos.
    std::uint64_t collectedSectorsFromHere() const
    {
        if (!m_collectsSectors)
            return 0;
        auto header = m_headers.upper_bound(m_position);
        if (header == m_headers.begin())
            return 0;
        --header;
        const std::uint64_t end = header->first + header->second.collectedSectors;
        return end > m_position ? end - m_position : 0;
    }

    const std::uint8_t* fromMedium(std::uint8_t* spare)
    {
        if (!m_medium->seekToSector(m_position))
            return nullptr;
        return m_medium->readSectorInPlace(spare);
    }

    const Headers& m_headers;
    const std::set<std::uint64_t>& m_unreadable;
    const bool m_collectsSectors;
    std::unique_ptr<SectorStream> m_medium;
    const std::uint64_t m_sectorCount;
    std::uint64_t m_position = 0;
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
    if (sector == nullptr) {
        m_unreadable.insert(number);
        return;
    }
    if (isBlankSector(sector))
        return;
    const std::size_t match = m_matcher.firstMatch(sector);
    if (match == HeaderMatcher::kNoMatch)
        return;
    Header& header = m_headers[number];
    std::memcpy(header.bytes.data(), sector, kSectorSize);
    header.collectedSectors = m_matcher.record(match).maximumSize / kSectorSize + 1;
}

std::unique_ptr<SectorSourceOpener> SectorRecording::replay(SectorSourceOpener& medium) const
{
    return std::make_unique<ReplayOpener>(m_headers, m_unreadable, m_collectsSectors, medium);
}

} // namespace salvyn
