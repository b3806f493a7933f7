#include "scan/passreader.h"

#include "platform/numbertext.h"
#include "scan/sectorrecording.h"

#include <algorithm>

namespace salvyn {

namespace {

// How many of `count` sectors in a row start no file of `matcher`: blank ones never do.
std::size_t sectorsStartingNothing(const HeaderMatcher& matcher, const std::uint8_t* sectors, std::size_t count)
{
    for (std::size_t k = 0; k < count; ++k) {
        const std::uint8_t* sector = sectors + k * kSectorSize;
        if (!isBlankSector(sector) && matcher.firstMatch(sector) != HeaderMatcher::kNoMatch)
            return k;
    }
    return count;
}

} // namespace

SectorRange sectorRangeFor(const SearchRequest& request)
{
    if (request.entireDiskChosen && !request.sectorRangeChosen)
        return {0, unsignedLongLongValue(request.sectorCountText)};
    if (!request.entireDiskChosen && request.sectorRangeChosen)
        return {unsignedLongLongValue(request.startSectorText), unsignedLongLongValue(request.endSectorText)};
    return {};
}

const SignatureList& workingListFor(const SearchRequest& request, const std::string& passName)
{
    static const SignatureList noRecords;
    if (passName == "GEN")
        return request.generalList;
    if (passName == "THD")
        return request.thoroughList;
    return noRecords;
}

PassReader::PassReader(ScanContext& context) : m_context(context) {}

bool PassReader::open()
{
    SearchState& state = m_context.state;
    const SectorRange range = sectorRangeFor(m_context.request);
    state.start_sector = range.startSector;
    state.end_sector = range.endSector;
    state.total_sector = range.endSector > range.startSector ? range.endSector - range.startSector : 0;
    state.for_index = range.startSector;
    m_context.host.progressSetUp(range.startSector, range.endSector);

    SectorSourceOpening opening = m_context.opener.open(m_context.request.sourceIdentifier);
    if (!opening.stream) {
        m_context.host.stopTicker();
        state.stop_now = 0;
        state.stop_screen_already_show = 1;
        m_context.host.deviceOpenFailed(opening.error);
        return false;
    }
    m_stream = std::move(opening.stream);
    m_context.host.deviceOpened();
    return true;
}

bool PassReader::seekToStart()
{
    const std::uint64_t start = m_context.state.start_sector;
    return start == 0 || m_stream->seekToSector(start);
}

const std::uint8_t* PassReader::readNextSector()
{
    const std::uint64_t sectorNumber = m_context.state.for_index.load(std::memory_order_relaxed);
    const std::uint8_t* sector = m_stream->readSectorInPlace(m_spare);
    m_lastRead = sector != nullptr;
    if (sector == nullptr) {
        ++m_failedReads;
        // If even this fails the pass goes on: later reads fail and are mended the same way.
        m_stream->seekToSector(sectorNumber + 1);
    }
    m_context.state.for_index.store(sectorNumber + 1, std::memory_order_relaxed);
    return sector;
}

std::size_t PassReader::readAhead(std::uint8_t* into, std::size_t maxSectors)
{
    return m_stream->readSectorsInto(into, maxSectors);
}

std::uint64_t PassReader::sectorsLeft() const
{
    const std::uint64_t forIndex = m_context.state.for_index.load(std::memory_order_relaxed);
    const std::uint64_t end = m_context.state.end_sector.load();
    return end > forIndex ? end - forIndex : 0;
}

std::uint64_t PassReader::skipBlankSectors(std::uint64_t most)
{
    const std::uint64_t count = std::min({most, m_stream->blankSectorsAhead(), sectorsLeft()});
    if (count == 0)
        return 0;
    m_stream->skipSectors(count);
    m_lastRead = 1;
    m_context.state.for_index.store(m_context.state.for_index.load(std::memory_order_relaxed) + count,
                                    std::memory_order_relaxed);
    return count;
}

std::uint64_t PassReader::unmatchedSectorsAhead() const
{
    return m_context.recordings.empty() ? std::min(m_stream->unmatchedSectorsAhead(), sectorsLeft()) : 0;
}

std::size_t PassReader::takeUnmatchedReadAhead(const HeaderMatcher& matcher, const std::uint8_t* sectors,
                                               std::size_t count)
{
    const std::size_t taken = sectorsStartingNothing(matcher, sectors, count);
    shareTaken(sectors, taken);
    return taken;
}

std::span<const std::uint8_t> PassReader::takeUnmatchedAtHand(const HeaderMatcher& matcher, std::uint64_t most)
{
    const std::uint8_t* sectors = nullptr;
    const std::size_t atHand = m_stream->sectorsAtHand(sectors, static_cast<std::size_t>(std::min(most, sectorsLeft())));
    const std::size_t taken = sectorsStartingNothing(matcher, sectors, atHand);
    if (taken == 0)
        return {};
    m_stream->skipSectors(taken);
    shareTaken(sectors, taken);
    return {sectors, taken * kSectorSize};
}

void PassReader::shareTaken(const std::uint8_t* sectors, std::size_t count)
{
    if (count == 0)
        return;
    const std::uint64_t first = m_context.state.for_index.load(std::memory_order_relaxed);
    for (SectorRecording* recording : m_context.recordings)
        recording->examine(first, sectors, count);
    takeReadAhead(count);
}

void PassReader::share(const std::uint8_t* sector)
{
    const std::uint64_t number = m_context.state.for_index.load(std::memory_order_relaxed) - 1;
    for (SectorRecording* recording : m_context.recordings)
        recording->examine(number, sector);
}

bool PassReader::finish()
{
    const bool lastReadGood = m_lastRead != 0;
    if (m_failedReads > 0 || !lastReadGood)
        m_context.host.showReadError(m_failedReads);
    return lastReadGood;
}

} // namespace salvyn
