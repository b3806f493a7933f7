#include "scan/photopass.h"

#include "scan/headermatcher.h"
#include "scan/naming.h"
#include "scan/passreader.h"
#include "scan/progress.h"
#include "scan/searchrun.h"

#include <algorithm>
#include <exception>
#include <vector>

namespace salvyn {

namespace {

// Large enough that its two halves are read at once to good effect (see PairedRead), small
// enough to stay in the processor's caches while it is examined and handed on.
constexpr std::size_t kReadAheadSectors = 2048;

// One pass over the range. A found photo runs from its header sector up to the sector
// before the next header, its size limit, the end of the range or a stop.
//
// Sectors in memory are examined in runs: those up to the next one that starts a photo (or
// reaches the open photo's size limit) are taken together, and that one on its own. A sink
// that wants the photo's bytes is handed them as they are read, in runs of sectors that lie
// together: while a photo is open, the sectors that follow are read ahead into a buffer that
// stays in the processor's caches. A sink that wants no bytes gets each photo as its sectors.
class PhotoPass {
public:
    PhotoPass(ScanContext& context, const std::string& passName)
        : m_context(context), m_passName(passName), m_thorough(passName == "THD"),
          m_matcher(workingListFor(context.request, passName)), m_reader(context),
          m_keepsBytes(context.sink.wantsPhotoBytes()), m_ahead(m_keepsBytes ? kReadAheadSectors * kSectorSize : 0)
    {
    }

    bool run()
    {
        m_context.host.passStarted(m_passName, passCaption(m_passName));
        if (!m_reader.open())
            return false;
        try {
            if (m_reader.seekToStart()) {
                while (!m_reader.atEnd() && m_matcher.recordCount() > 0) {
                    if (m_context.state.stop_now.load(std::memory_order_relaxed) == 1)
                        return stop();
                    const bool passedOver = m_aheadCount == 0 && (skipBlankSectors() || takeUnmatchedSectors());
                    if (!passedOver && !takeSectorsStartingNothing())
                        examineNextSector();
                }
            }
        } catch (const std::exception&) {
            // The pass ends here as at the end of the range.
        }
        deliver();
        m_reader.close();
        return m_reader.finish();
    }

private:
    // An unreadable sector is taken as blank: zeros keep the photo's later bytes in place.
    void examineNextSector()
    {
        static const std::uint8_t zeros[kSectorSize] = {};
        const std::uint8_t* sector = nextSector();
        m_reader.share(sector);
        if (sector == nullptr) {
            sector = zeros;
        } else if (!isBlankSector(sector)) {
            const std::size_t match = m_matcher.firstMatch(sector);
            if (match != HeaderMatcher::kNoMatch)
                startFile(m_matcher.record(match));
        }
        collect(sector);
    }

    // Blank sectors start nothing. Outside a photo they change nothing; a photo kept as its
    // sectors takes them, passed over together up to the one that reaches its size limit. A
    // photo whose bytes are handed on reads them.
    bool skipBlankSectors()
    {
        if (!m_collecting)
            return m_reader.skipBlankSectors(~std::uint64_t{0}) > 0;
        if (m_keepsBytes)
            return false;
        const std::uint64_t skipped = m_reader.skipBlankSectors((m_sizeLimit - m_fileBytes + kSectorSize - 1) / kSectorSize);
        collect(nullptr, skipped);
        return skipped > 0;
    }

    // Sectors the medium knows to start no file of the list go into the open photo together,
    // up to the one before the sector that reaches its limit.
    bool takeUnmatchedSectors()
    {
        if (!m_collecting || !m_keepsBytes)
            return false;
        const std::size_t count = static_cast<std::size_t>(
            std::min<std::uint64_t>({m_reader.unmatchedSectorsAhead(), sectorsBeforeLimit(m_fileBytes, m_sizeLimit), kReadAheadSectors}));
        if (count == 0)
            return false;
        handOnBytes();
        const std::size_t arrived = m_reader.readAhead(m_ahead.data(), count);
        if (arrived == 0)
            return false;
        m_reader.takeReadAhead(arrived);
        collectRun({m_ahead.data(), arrived * kSectorSize});
        return true;
    }

    // Sectors at hand that start no photo are examined and taken together, up to the one
    // before the sector that reaches the open photo's size limit.
    bool takeSectorsStartingNothing()
    {
        const std::uint64_t most = m_collecting ? sectorsBeforeLimit(m_fileBytes, m_sizeLimit) : kReadAheadSectors;
        if (most == 0)
            return false;
        if (m_aheadCount == 0 && m_collecting && m_keepsBytes)
            readAhead();
        std::span<const std::uint8_t> taken;
        if (m_aheadCount > 0) {
            const std::uint8_t* ahead = m_ahead.data() + m_aheadOffset;
            const std::size_t count =
                m_reader.takeUnmatchedReadAhead(m_matcher, ahead, static_cast<std::size_t>(std::min<std::uint64_t>(m_aheadCount, most)));
            m_aheadOffset += count * kSectorSize;
            m_aheadCount -= count;
            taken = {ahead, count * kSectorSize};
        } else {
            handOnBytes(); // the medium's sectors at hand may take the place of those waiting
            taken = m_reader.takeUnmatchedAtHand(m_matcher, most);
        }
        if (m_collecting && !taken.empty())
            collectRun(taken);
        return !taken.empty();
    }

    // Sectors below the open photo's size limit, taken into it together.
    void collectRun(std::span<const std::uint8_t> sectors)
    {
        m_fileBytes += sectors.size();
        m_collectedSectors += sectors.size() / kSectorSize;
        if (m_keepsBytes)
            appendBytes(sectors);
    }

    const std::uint8_t* nextSector()
    {
        if (m_aheadCount == 0 && m_collecting && m_keepsBytes)
            readAhead();
        if (m_aheadCount == 0) {
            handOnBytes(); // the sector read next may take the place of those waiting
            return m_reader.readNextSector();
        }
        const std::uint8_t* sector = m_ahead.data() + m_aheadOffset;
        m_aheadOffset += kSectorSize;
        --m_aheadCount;
        m_reader.takeReadAhead();
        return sector;
    }

    void readAhead()
    {
        const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(kReadAheadSectors, m_reader.sectorsLeft()));
        if (count == 0)
            return;
        handOnBytes();
        m_aheadOffset = 0;
        m_aheadCount = m_reader.readAhead(m_ahead.data(), count);
    }

    void startFile(const SignatureRecord& record)
    {
        if (m_fileCount > 0 && !m_closedBySize)
            deliver();
        SearchState& state = m_context.state;
        if (m_thorough && state.listedByGeneralPass(state.for_index - 1)) {
            // The general pass listed this photo already: nothing is open until the next header.
            m_closedBySize = true;
            m_collecting = false;
            return;
        }
        m_closedBySize = false;
        m_collecting = true;
        ++m_fileCount;
        const std::uint64_t number = m_thorough ? ++state.THD_Image_number : ++state.GND_Image_number;
        m_name = Generate_File_Name(m_fileCount, m_thorough ? "THD" : "GND", record.type, 0, nullptr);
        m_uid = Generate_File_UID_Num(number, m_thorough, record.type);
        m_fileBytes = 0;
        m_sizeLimit = record.maximumSize;
        m_firstSector = state.for_index - 1;
    }

    // Takes `count` sectors into the open photo: one read sector, or blank ones passed over.
    // The sector at which the count reaches the size limit is not part of the photo.
    void collect(const std::uint8_t* sector, std::uint64_t count = 1)
    {
        if (!m_collecting || count == 0)
            return;
        m_fileBytes += count * kSectorSize;
        const bool limitReached = m_fileBytes >= m_sizeLimit;
        const std::uint64_t taken = limitReached ? count - 1 : count;
        if (m_keepsBytes && taken > 0)
            appendBytes({sector, kSectorSize});
        m_collectedSectors += taken;
        if (limitReached) {
            m_fileBytes = 0;
            m_closedBySize = true;
            deliver();
            m_collecting = false;
        }
    }

    // Sectors that lie together are handed on together, before the place they lie in is
    // read into again.
    void appendBytes(std::span<const std::uint8_t> bytes)
    {
        if (!m_waiting.empty() && bytes.data() == m_waiting.data() + m_waiting.size()) {
            m_waiting = {m_waiting.data(), m_waiting.size() + bytes.size()};
            return;
        }
        handOnBytes();
        m_waiting = bytes;
    }

    void handOnBytes()
    {
        if (!m_waiting.empty())
            m_context.sink.addPhotoBytes(m_waiting);
        m_waiting = {};
    }

    void deliver()
    {
        handOnBytes();
        if (m_collectedSectors == 0)
            return;
        if (!m_thorough)
            m_context.state.rememberGeneralFind(m_firstSector);
        m_context.sink.addImageWithDataAt(m_name, m_uid, m_firstSector, m_firstSector + m_collectedSectors);
        m_collectedSectors = 0;
    }

    bool stop()
    {
        m_context.state.stop_now = 0;
        handOnBytes(); // before the stream's buffer goes
        m_reader.close();
        m_context.host.stopTicker();
        deliver();
        m_collecting = false;
        showFinalScreenOnce(m_context.state, m_context.host);
        return false;
    }

    ScanContext& m_context;
    const std::string& m_passName;
    const bool m_thorough;
    const HeaderMatcher m_matcher;
    PassReader m_reader;
    const bool m_keepsBytes;
    std::vector<std::uint8_t> m_ahead;          // sectors read ahead, when bytes are handed on
    std::span<const std::uint8_t> m_waiting;  // collected bytes not handed on yet
    std::uint64_t m_collectedSectors = 0;
    std::size_t m_aheadOffset = 0; // read-ahead sectors waiting at this offset
    std::size_t m_aheadCount = 0;
    bool m_collecting = false;
    bool m_closedBySize = false;
    std::uint64_t m_fileCount = 0;
    std::uint64_t m_fileBytes = 0;
    std::uint64_t m_sizeLimit = 0;
    std::uint64_t m_firstSector = 0;
    std::string m_name;
    std::string m_uid;
};

} // namespace

bool Photo_Recovey_Mode(ScanContext& context, const std::string& passName)
{
    return PhotoPass(context, passName).run();
}

} // namespace salvyn
