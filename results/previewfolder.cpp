#include "results/previewfolder.h"

#include "results/samedevice.h"
#include "scan/naming.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <vector>

namespace salvyn {
namespace {

constexpr std::string_view kPreviewBaseName = "dprv";

bool isUtf8Continuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// C0 controls, DEL, and the C1 controls as UTF-8 encodes them (C2 80 .. C2 9F).
bool holdsControlCharacter(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7F)
            return true;
        if (byte == 0xC2 && i + 1 < text.size()) {
            const auto next = static_cast<unsigned char>(text[i + 1]);
            if (next >= 0x80 && next <= 0x9F)
                return true;
        }
    }
    return false;
}

std::size_t characterCount(std::string_view text)
{
    std::size_t count = 0;
    for (const char c : text)
        count += isUtf8Continuation(static_cast<unsigned char>(c)) ? 0 : 1;
    return count;
}

bool isPrivateFolderOfOurs(int fd)
{
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid())
        return false;
    return (info.st_mode & 077) == 0 || fchmod(fd, 0700) == 0;
}

std::vector<std::string> entryNames(int folderFd)
{
    std::vector<std::string> names;
    const int listingFd = fcntl(folderFd, F_DUPFD_CLOEXEC, 0);
    if (listingFd < 0)
        return names;
    DIR* listing = fdopendir(listingFd);
    if (!listing) {
        close(listingFd);
        return names;
    }
    while (const dirent* entry = readdir(listing))
        names.emplace_back(entry->d_name);
    closedir(listing);
    return names;
}

} // namespace

OpenPreviewFolder::~OpenPreviewFolder()
{
    if (m_fd >= 0)
        close(m_fd);
}

OpenPreviewFolder& OpenPreviewFolder::operator=(OpenPreviewFolder&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            close(m_fd);
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

PreviewFolder::PreviewFolder(std::string path) : m_path(std::move(path)) {}

OpenPreviewFolder PreviewFolder::openPrivate() const
{
    if (m_path.empty())
        return OpenPreviewFolder();
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(m_path).parent_path(), ignored);
    if (mkdir(m_path.c_str(), 0700) != 0 && errno != EEXIST)
        return OpenPreviewFolder();
    return openExisting();
}

bool PreviewFolder::liesOnDiskOf(const std::string& mediumPath) const
{
    // A medium that was just opened can be looked at, and a folder that cannot be is one we
    // cannot make or open either, so only a clear answer refuses.
    const DestinationProblem problem = destinationProblem(m_path, mediumPath);
    return problem == DestinationProblem::SameDevice || problem == DestinationProblem::SameDisk;
}

OpenPreviewFolder PreviewFolder::openExisting() const
{
    OpenPreviewFolder folder(open(m_path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder.isOpen() || !isPrivateFolderOfOurs(folder.fd()))
        return OpenPreviewFolder();
    return folder;
}

std::string PreviewFolder::previewFileName(std::string_view foundFileName)
{
    const std::string type = pathExtension(foundFileName);
    if (type.empty() || characterCount(type) > maxTypeLength || holdsControlCharacter(type))
        return std::string(kPreviewBaseName);
    return std::string(kPreviewBaseName) + "." + type;
}

bool PreviewFolder::isPreviewFileName(std::string_view entryName)
{
    if (entryName == kPreviewBaseName)
        return true;
    if (entryName.size() <= kPreviewBaseName.size() || entryName.substr(0, kPreviewBaseName.size()) != kPreviewBaseName
        || entryName[kPreviewBaseName.size()] != '.')
        return false;
    return entryName.find('.', kPreviewBaseName.size() + 1) == std::string_view::npos;
}

int PreviewFolder::removePreviewFiles() const
{
    if (m_path.empty())
        return 0;
    const OpenPreviewFolder folder = openExisting();
    if (!folder.isOpen())
        return 0;
    int removed = 0;
    for (const std::string& name : entryNames(folder.fd())) {
        if (!isPreviewFileName(name))
            continue;
        struct stat info {};
        if (fstatat(folder.fd(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || S_ISDIR(info.st_mode))
            continue;
        if (unlinkat(folder.fd(), name.c_str(), 0) == 0)
            ++removed;
    }
    return removed;
}

} // namespace salvyn
