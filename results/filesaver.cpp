#include "results/filesaver.h"

#include "results/sha256.h"
#include "scan/naming.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace salvyn {

namespace {

constexpr int kMostNameVariants = 10000;

std::string reportField(std::string text)
{
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return text;
}

// "GND00001.JPG" -> "GND00001-2.JPG": the numbered variant for a name that is taken.
std::string nameVariant(const std::string& name, int number)
{
    const auto dot = name.rfind('.');
    const std::string suffix = "-" + std::to_string(number);
    if (dot == std::string::npos || dot == 0)
        return name + suffix;
    return name.substr(0, dot) + suffix + name.substr(dot);
}

SavedFile describe(const std::string& name, std::uint64_t firstSector, std::uint64_t endSector)
{
    SavedFile file;
    file.name = name;
    file.type = pathExtension(name);
    file.firstSector = firstSector;
    file.endSector = endSector;
    return file;
}

} // namespace

// The file being written, created new (never replacing or following a link), plus the
// running size and digest.
class FileSaver::Output {
public:
    Output(const std::optional<std::filesystem::path>& folder, SavedFile& file) : m_file(file)
    {
        if (!folder)
            return;
        const std::string base = safeFileName(file.name);
        for (int variant = 1; variant <= kMostNameVariants && m_fd < 0; ++variant) {
            const std::string candidate = variant == 1 ? base : nameVariant(base, variant);
            const std::filesystem::path path = *folder / candidate;
            m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
            if (m_fd >= 0) {
                file.name = candidate;
                file.savedPath = path;
            } else if (errno != EEXIST) {
                fail(path.string(), errno);
                return;
            }
        }
        if (m_fd < 0 && file.error.empty())
            fail((*folder / base).string(), EEXIST);
    }
    ~Output()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    void write(std::span<const std::uint8_t> bytes)
    {
        m_digest.update(bytes);
        m_file.byteCount += bytes.size();
        for (std::size_t done = 0; m_fd >= 0 && done < bytes.size();) {
            const ssize_t wrote = ::write(m_fd, bytes.data() + done, bytes.size() - done);
            if (wrote < 0 && errno == EINTR)
                continue;
            if (wrote <= 0) {
                fail(m_file.savedPath.string(), wrote < 0 ? errno : ENOSPC);
                return;
            }
            done += static_cast<std::size_t>(wrote);
        }
    }

    void finish()
    {
        m_file.sha256 = m_digest.finishHex();
        if (m_fd >= 0 && ::close(m_fd) != 0)
            fail(m_file.savedPath.string(), errno);
        m_fd = -1;
    }

private:
    void fail(const std::string& path, int errorNumber)
    {
        m_file.error = "cannot write " + path + ": " + std::strerror(errorNumber);
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    SavedFile& m_file;
    Sha256 m_digest;
    int m_fd = -1;
};

FileSaver::FileSaver(std::optional<std::filesystem::path> folder) : m_folder(std::move(folder)) {}

SavedFile FileSaver::savePhoto(std::span<const std::uint8_t> bytes, const std::string& name, std::uint64_t firstSector)
{
    SavedFile file = describe(name, firstSector, firstSector + bytes.size() / kSectorSize);
    Output output(m_folder, file);
    output.write(bytes);
    output.finish();
    return file;
}

SavedFile FileSaver::saveSectors(const std::string& name, std::uint64_t firstSector, std::uint64_t endSector,
                                 SectorStream& medium)
{
    const std::uint64_t sectors = endSector > firstSector ? endSector - firstSector : 0;
    return saveBytes(name, firstSector, endSector, sectors * kSectorSize, medium);
}

SavedFile FileSaver::saveBytes(const std::string& name, std::uint64_t firstSector, std::uint64_t endSector,
                               std::uint64_t byteCount, SectorStream& medium)
{
    SavedFile file = describe(name, firstSector, endSector);
    Output output(m_folder, file);
    std::vector<std::uint8_t> chunk;
    chunk.reserve(256 * kSectorSize);
    bool positioned = medium.seekToSector(firstSector);
    for (std::uint64_t sector = firstSector, left = byteCount; left > 0; ++sector) {
        const std::size_t at = chunk.size();
        chunk.resize(at + kSectorSize);
        if (!positioned || medium.readSector(chunk.data() + at) != 1) {
            ++file.unreadableSectors;
            std::memset(chunk.data() + at, 0, kSectorSize);
            positioned = medium.seekToSector(sector + 1);
        }
        // The last sector of a file that ends inside it gives only the file's bytes.
        if (left < kSectorSize)
            chunk.resize(at + static_cast<std::size_t>(left));
        left -= chunk.size() - at;
        if (chunk.size() >= chunk.capacity() - kSectorSize) {
            output.write(chunk);
            chunk.clear();
        }
    }
    output.write(chunk);
    output.finish();
    return file;
}

std::string reportHeaderLine()
{
    return "name\ttype\tfirst_sector\tend_sector\tbytes\tsha256\tlength_from";
}

std::string reportLine(const SavedFile& file)
{
    return reportField(file.name) + '\t' + reportField(file.type) + '\t' + std::to_string(file.firstSector) + '\t'
         + std::to_string(file.endSector) + '\t' + std::to_string(file.byteCount) + '\t' + file.sha256 + '\t'
         + file.lengthFrom;
}

std::string safeFileName(const std::string& name)
{
    std::string safe = name;
    for (char& c : safe)
        if (c == '/' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '_';
    if (safe.empty() || safe == "." || safe == "..")
        safe = "found" + safe;
    return safe;
}

} // namespace salvyn
