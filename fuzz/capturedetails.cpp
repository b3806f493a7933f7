// Capture details over arbitrary bytes taken as a photo's or a video's: nothing read outside
// the file, a date only when it is one, and a camera name drawn from the file's own bytes.
#include "fuzzcheck.h"
#include "results/bytereader.h"
#include "results/capturedetails.h"

#include <cstring>

namespace {

using salvyn::fuzz::require;

// The input laid from byte kFirst of a medium; reading anywhere else breaks the promise.
class FileOnMedium final : public salvyn::ByteReader {
public:
    static constexpr std::uint64_t kFirst = 4096;

    FileOnMedium(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    std::size_t readAt(std::uint64_t offset, std::uint8_t* out, std::size_t size) override
    {
        require(offset >= kFirst && offset - kFirst <= m_size && size <= m_size - (offset - kFirst),
                "reads stay inside the file");
        std::memcpy(out, m_data + (offset - kFirst), size);
        return size;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FileOnMedium medium(data, size);
    for (const char* type : {"JPG", "TIF", "NEF", "MP4", "MOV"}) {
        const salvyn::CaptureDetails details = salvyn::captureDetailsOf(medium, type, FileOnMedium::kFirst, size);
        // Make and model, each drawn from the file (they may share its bytes), and a space.
        require(details.camera.size() <= 2 * size + 1, "a camera name comes from the file");
        if (const auto& t = details.taken) {
            require(t->month >= 1 && t->month <= 12 && t->day >= 1 && t->day <= 31, "a date is a date");
            require(t->hour >= 0 && t->hour <= 23 && t->minute >= 0 && t->minute <= 59 && t->second >= 0 && t->second <= 60,
                    "a time of day is one");
            require(salvyn::captureTimeText(*t).size() <= 31, "the date text fits");
        }
    }
    return 0;
}
