// The signature-list reader over arbitrary file contents: whole records only, and a
// first header byte that is a byte.
#include "fuzzcheck.h"
#include "platform/numbertext.h"
#include "signatures/signaturelist.h"

#include <sys/mman.h>
#include <unistd.h>

#include <sstream>
#include <string>

using salvyn::fuzz::require;

namespace {

// The reader takes a path; an in-memory file keeps each input off the disk.
struct InputFile {
    int fd;
    std::string path;
};

const InputFile& inputFile()
{
    static const InputFile file = [] {
        const int fd = memfd_create("signature-list", 0);
        require(fd >= 0, "an in-memory file can be made");
        return InputFile{fd, "/proc/self/fd/" + std::to_string(fd)};
    }();
    return file;
}

void writeInput(const std::uint8_t* data, std::size_t size)
{
    const int fd = inputFile().fd;
    require(ftruncate(fd, 0) == 0, "the in-memory file can be emptied");
    std::size_t written = 0;
    while (written < size) {
        const ssize_t n = pwrite(fd, data + written, size - written, static_cast<off_t>(written));
        require(n > 0, "the in-memory file takes the input");
        written += static_cast<std::size_t>(n);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    writeInput(data, size);
    std::ostringstream warnings;
    const salvyn::SignatureList list = salvyn::loadSignatureList(inputFile().path, warnings);
    require(list.size() % salvyn::kSignatureRecordSize == 0, "only whole records are kept");
    for (std::size_t record = 0; record < salvyn::recordCount(list); ++record) {
        const std::string& firstByte = salvyn::recordEntry(list, record, 6);
        const std::int32_t value = salvyn::intValue(firstByte);
        require(firstByte.empty() || (value >= 0 && value <= 255 && firstByte == std::to_string(value)),
                "the first header byte is a byte in decimal");
    }
    return 0;
}
