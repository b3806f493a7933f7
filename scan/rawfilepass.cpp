#include "scan/rawfilepass.h"

#include "scan/headermatcher.h"
#include "scan/naming.h"
#include "scan/passreader.h"
#include "scan/progress.h"
#include "scan/searchrun.h"
#include "signatures/hexconversion.h"

#include <exception>

namespace salvyn {

namespace {

// Every video, raw or audio file ends at 18 MiB at the latest, whatever its type.
constexpr std::uint64_t kRawFileSizeLimit = 18874368;

// A record joins the group of the matched record when its header lies inside the matched
// one, or holds it at the same position; its own longer header is never compared.
bool joinsGroup(const SignatureRecord& matched, const SignatureRecord& candidate)
{
    return Find_Str(matched.headerText, candidate.headerText)
        || (Find_Str(candidate.headerText, matched.headerText) && candidate.positionText == matched.positionText);
}

// One pass over the range. A header starts a group of files at its sector; every file of the
// group ends together: at the next header (whose sector it includes), at the size limit,
// at the end of the range or at a stop.
class RawFilePass {
public:
    RawFilePass(ScanContext& context, const std::string& passName)
        : m_context(context), m_passName(passName),
          m_matcher(workingListFor(context.request, passName)), m_reader(context)
    {
    }

    bool run()
    {
        m_context.host.passStarted(m_passName, passCaption(m_passName));
        if (!m_reader.open())
            return false;
        try {
            if (m_reader.seekToStart()) {
                while (!m_reader.atEnd()) {
                    if (m_matcher.recordCount() == 0) {
                        m_reader.markLastReadGood();
                        break;
                    }
                    if (m_context.state.stop_now.load(std::memory_order_relaxed) == 1)
                        return stop();
                    if (!skipBlankSectors() && !takeSectorsStartingNothing())
                        examineNextSector();
                }
            }
        } catch (const std::exception&) {
            // The open files are dropped, not reported: they may be incomplete.
            m_openFiles.clear();
            m_reader.close();
            return m_reader.finish();
        }
        reportOpenFiles(m_context.state.for_index);
        m_reader.close();
        return m_reader.finish();
    }

private:
    void examineNextSector()
    {
        // An unreadable sector is taken as blank; it still counts towards the open files.
        const std::uint8_t* sector = m_reader.readNextSector();
        m_reader.share(sector);
        if (sector != nullptr && !isBlankSector(sector)) {
            const std::size_t match = m_matcher.firstMatch(sector);
            if (match != HeaderMatcher::kNoMatch) {
                startGroup(match);
                m_headerSeen = true;
                checkSizeLimit();
                return;
            }
        }
        if (!m_headerSeen)
            return;
        m_fileBytes += kSectorSize;
        checkSizeLimit();
    }

    // Sectors at hand that start no file are examined and taken together, up to the one
    // before the sector that reaches the open files' size limit.
    bool takeSectorsStartingNothing()
    {
        const bool counting = m_headerSeen && !m_openFiles.empty();
        const std::uint64_t most = counting ? sectorsBeforeLimit(m_fileBytes, kRawFileSizeLimit) : ~std::uint64_t{0};
        const std::size_t taken = most == 0 ? 0 : m_reader.takeUnmatchedAtHand(m_matcher, most).size();
        if (counting)
            m_fileBytes += taken;
        return taken > 0;
    }

    // Blank sectors only count towards the open files: passed over together, up to the
    // sector that reaches the size limit.
    bool skipBlankSectors()
    {
        const std::uint64_t most =
            m_openFiles.empty() ? ~std::uint64_t{0} : (kRawFileSizeLimit - m_fileBytes + kSectorSize - 1) / kSectorSize;
        const std::uint64_t skipped = m_reader.skipBlankSectors(most);
        if (skipped == 0)
            return false;
        if (m_headerSeen) {
            m_fileBytes += skipped * kSectorSize;
            checkSizeLimit();
        }
        return true;
    }

    void startGroup(std::size_t matched)
    {
        const std::uint64_t forIndex = m_context.state.for_index;
        if (m_headerSeen)
            reportOpenFiles(forIndex);
        m_fileBytes = kSectorSize;
        m_groupStart = 0;
        // Files the general pass listed from this sector are not listed again.
        if (m_passName != "GEN" && m_context.state.listedByGeneralPass(forIndex - 1))
            return;
        const SignatureRecord& header = m_matcher.record(matched);
        for (std::size_t index = matched; index < m_matcher.recordCount(); ++index) {
            const SignatureRecord& record = m_matcher.record(index);
            if (index != matched && !joinsGroup(header, record))
                continue;
            m_groupStart = forIndex - 1;
            ++m_fileCount;
            m_openFiles.push_back(Generate_File_Name(m_fileCount, record.type, record.type,
                                                     m_context.request.recoveryMode, m_context.rows));
        }
    }

    void checkSizeLimit()
    {
        if (!m_openFiles.empty() && kRawFileSizeLimit <= m_fileBytes)
            reportOpenFiles(m_context.state.for_index);
        if (m_openFiles.empty()) {
            m_fileBytes = 0;
            m_groupStart = 0;
        }
    }

    // Each report raises its type's count before the next file is named.
    void reportOpenFiles(std::uint64_t endSector)
    {
        if (m_passName == "GEN" && !m_openFiles.empty())
            m_context.state.rememberGeneralFind(m_groupStart);
        for (const std::string& name : m_openFiles)
            m_context.sink.addImageWithData_2(name, name, m_groupStart, endSector);
        m_openFiles.clear();
    }

    bool stop()
    {
        m_context.state.stop_now = 0;
        m_reader.close();
        m_context.host.stopTicker();
        reportOpenFiles(m_context.state.for_index);
        showFinalScreenOnce(m_context.state, m_context.host);
        return false;
    }

    ScanContext& m_context;
    const std::string& m_passName;
    const HeaderMatcher m_matcher;
    PassReader m_reader;
    std::vector<std::string> m_openFiles; // names, in the order the group started them
    bool m_headerSeen = false;
    std::uint64_t m_groupStart = 0;
    std::uint64_t m_fileBytes = 0;
    std::uint64_t m_fileCount = 0;
};

} // namespace

bool Raw_File_Recovey_Mode(ScanContext& context, const std::string& passName)
{
    return RawFilePass(context, passName).run();
}

} // namespace salvyn
