#include "results/filesaver.h"

#include "results/sectorcopy.h"
#include "results/sha256.h"
#include "scan/naming.h"

#include <cerrno>
#include <cstring>

namespace salvyn {

namespace {

constexpr int kMostNameVariants = 10000;
constexpr std::size_t kPieceSectors = 256;

SavedFile describe(const std::string& name, std::uint64_t firstSector, std::uint64_t endSector)
{
    SavedFile file;
    file.name = name;
    file.type = pathExtension(name);
    file.firstSector = firstSector;
    file.endSector = endSector;
    return file;
}

// Hidden, so a file manager open on the folder does not show a file that is still growing.
std::string temporaryName(const std::string& base, int variant)
{
    return "." + (variant == 1 ? base : nameVariant(base, variant)) + ".part";
}

} // namespace

// The file being written under its temporary name, plus the running size and digest.
class FileSaver::Output {
public:
    Output(const std::optional<std::filesystem::path>& folder, SaveWriter& writer, const KeepGoing& keepGoing,
           SavedFile& file)
        : m_writer(writer), m_keepGoing(keepGoing), m_file(file)
    {
        if (!folder)
            return;
        m_folder = *folder;
        m_base = safeFileName(file.name);
        for (int variant = 1; variant <= kMostNameVariants && m_fd < 0; ++variant) {
            const std::filesystem::path temporary = m_folder / temporaryName(m_base, variant);
            const int answer = m_writer.create(temporary);
            if (answer >= 0) {
                m_fd = answer;
                m_temporary = temporary;
            } else if (answer != -EEXIST) {
                fail(-answer);
                return;
            }
        }
        if (m_fd < 0)
            fail(EEXIST);
    }
    ~Output() { discard(); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    // True while the file is still wanted and writable.
    bool goingOn() const { return m_file.error.empty() && !m_file.cancelled; }

    bool write(std::span<const std::uint8_t> bytes)
    {
        if (!goingOn())
            return false;
        m_digest.update(bytes);
        m_file.byteCount += bytes.size();
        if (m_fd >= 0) {
            if (const int error = m_writer.write(m_fd, bytes); error != 0) {
                fail(error);
                return false;
            }
        }
        if (m_keepGoing && !m_keepGoing(bytes.size()))
            m_file.cancelled = true;
        return goingOn();
    }

    void finish()
    {
        m_file.sha256 = m_digest.finishHex();
        if (!goingOn() || m_fd < 0)
            return discard();
        const int closed = m_writer.close(m_fd);
        m_fd = -1;
        if (closed != 0)
            return fail(closed);
        publish();
    }

private:
    // The first free name takes the whole file; a name taken meanwhile is never replaced.
    void publish()
    {
        for (int variant = 1; variant <= kMostNameVariants; ++variant) {
            const std::string candidate = variant == 1 ? m_base : nameVariant(m_base, variant);
            const int answer = m_writer.renameNew(m_temporary, m_folder / candidate);
            if (answer == 0) {
                m_temporary.clear();
                m_file.name = candidate;
                m_file.savedPath = m_folder / candidate;
                return;
            }
            if (answer != EEXIST)
                return fail(answer);
        }
        fail(EEXIST);
    }

    void fail(int errorNumber)
    {
        m_file.errorNumber = errorNumber;
        m_file.error = "cannot write " + (m_folder / m_base).string() + ": " + std::strerror(errorNumber);
        discard();
    }

    void discard()
    {
        if (m_fd >= 0)
            m_writer.close(m_fd);
        m_fd = -1;
        if (!m_temporary.empty())
            m_writer.remove(m_temporary);
        m_temporary.clear();
    }

    SaveWriter& m_writer;
    const KeepGoing& m_keepGoing;
    SavedFile& m_file;
    std::filesystem::path m_folder;
    std::string m_base;
    std::filesystem::path m_temporary;
    Sha256 m_digest;
    int m_fd = -1;
};

FileSaver::FileSaver(std::optional<std::filesystem::path> folder, SaveWriter& writer)
    : m_folder(std::move(folder)), m_writer(writer)
{
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
    Output output(m_folder, m_writer, m_keepGoing, file);
    const bool positioned = medium.seekToSector(firstSector);
    file.unreadableSectors =
        copySectors(medium, {firstSector, byteCount, positioned, kPieceSectors}, [&output] { return output.goingOn(); },
                    [&output](std::span<const std::uint8_t> piece) { return output.write(piece); })
            .unreadableSectors;
    output.finish();
    return file;
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

std::string nameVariant(const std::string& name, int number)
{
    const auto dot = name.rfind('.');
    std::string variant = name;
    const std::size_t at = dot == std::string::npos || dot == 0 ? name.size() : dot;
    variant.insert(at, std::to_string(number)).insert(at, 1, '-');
    return variant;
}

} // namespace salvyn
