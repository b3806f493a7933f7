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

constexpr std::uint64_t kLargestReservation = 1ull << 30;
constexpr std::size_t kFirstReservation = 1 << 20;

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
    // An unreadable sector is taken as blank: zeros keep the photo's later bytes in place.
    void examineNextSector()
    {
        static const std::uint8_t zeros[kSectorSize] = {};
        const std::uint8_t* sector = m_reader.readNextSector();
        if (sector == nullptr) {
            sector = zeros;
        } else if (!isBlankSector(sector)) {
            const std::size_t match = m_matcher.firstMatch(sector);
            if (match != HeaderMatcher::kNoMatch)
                startFile(m_matcher.record(match));
        }
        collect(sector);
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
        if (m_fileData.capacity() < m_sizeLimit)
            m_fileData.reserve(static_cast<std::size_t>(std::min(m_sizeLimit, kLargestReservation)));
        m_firstSector = state.for_index - 1;
    }

    // The sector at which the count reaches the size limit is not part of the photo.
    void collect(const std::uint8_t* sector)
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
        appendSector(sector);
    }

    // Room for the whole photo is set aside at its header (pages are only taken as they are
    // written), so collecting never moves the bytes already collected.
    void appendSector(const std::uint8_t* sector)
    {
        if (m_fileData.size() == m_fileData.capacity())
            m_fileData.reserve(std::max<std::size_t>(m_fileData.capacity() * 2, kFirstReservation));
        m_fileData.insert(m_fileData.end(), sector, sector + kSectorSize);
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
