#include "scan/photopass.h"

#include "scan/headermatcher.h"
#include "scan/naming.h"
#include "scan/passreader.h"
#include "scan/progress.h"
#include "scan/searchrun.h"

#include <algorithm>
#include <exception>

namespace salvyn {

namespace {

// One pass over the range. A found photo runs from its header sector up to the sector
// before the next header, its size limit, the end of the range or a stop.
class PhotoPass {
public:
    PhotoPass(ScanContext& context, const std::string& passName)
        : m_context(context), m_passName(passName), m_thorough(passName == "THD"),
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
                while (!m_reader.atEnd() && m_matcher.recordCount() > 0) {
                    if (m_context.state.stop_now.load(std::memory_order_relaxed) == 1)
                        return stop();
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
    void examineNextSector()
    {
        const bool readable = m_reader.readNextSector(m_sector);
        if (readable && !isBlankSector(m_sector)) {
            const std::size_t match = m_matcher.firstMatch(m_sector);
            if (match != HeaderMatcher::kNoMatch)
                startFile(m_matcher.record(match));
        }
        collect();
    }

    void startFile(const SignatureRecord& record)
    {
        if (m_fileCount > 0 && !m_closedBySize)
            deliver();
        m_closedBySize = false;
        m_collecting = true;
        ++m_fileCount;
        SearchState& state = m_context.state;
        const std::uint64_t number = m_thorough ? ++state.THD_Image_number : ++state.GND_Image_number;
        m_name = Generate_File_Name(m_fileCount, m_thorough ? "THD" : "GND", record.type, 0, nullptr);
        m_uid = Generate_File_UID_Num(number, m_thorough, record.type);
        m_fileBytes = 0;
        m_sizeLimit = record.maximumSize;
        m_firstSector = state.for_index - 1;
    }

    // The sector at which the count reaches the size limit is not part of the photo.
    void collect()
    {
        if (!m_collecting)
            return;
        m_fileBytes += kSectorSize;
        if (m_fileBytes >= m_sizeLimit) {
            m_fileBytes = 0;
            m_closedBySize = true;
            deliver();
            m_collecting = false;
            return;
        }
        appendSector();
    }

    // Grows towards the size limit without ever holding much more than it.
    void appendSector()
    {
        const std::size_t needed = m_fileData.size() + kSectorSize;
        if (needed > m_fileData.capacity()) {
            const std::uint64_t doubled = std::max<std::uint64_t>(m_fileData.capacity() * 2, 1 << 20);
            m_fileData.reserve(static_cast<std::size_t>(std::max<std::uint64_t>(needed, std::min(doubled, m_sizeLimit))));
        }
        m_fileData.insert(m_fileData.end(), m_sector, m_sector + kSectorSize);
    }

    void deliver()
    {
        m_context.sink.addImageWithDataAt(m_fileData, m_name, m_uid, m_firstSector);
        m_fileData.clear();
    }

    bool stop()
    {
        m_context.state.stop_now = 0;
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
    std::uint8_t m_sector[kSectorSize] = {};
    std::vector<std::uint8_t> m_fileData;
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
