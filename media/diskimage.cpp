#include "media/diskimage.h"

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace salvyn {
namespace {

DiskImageResult refused(const std::string& path, const std::string& reason)
{
    return {std::nullopt, "\"" + path + "\" " + reason};
}

std::string systemReason(int error)
{
    return std::generic_category().message(error);
}

// Sector count the kernel publishes for every block device, readable without any right.
std::optional<std::uint64_t> blockDeviceSizeFromSysfs(dev_t device)
{
    std::ifstream sizeFile("/sys/dev/block/" + std::to_string(major(device)) + ":"
                           + std::to_string(minor(device)) + "/size");
    std::uint64_t sectors = 0;
    if (!(sizeFile >> sectors))
        return std::nullopt;
    return sectors * 512;
}

// Size in bytes of what the path names, or the reason it cannot be used.
std::optional<std::uint64_t> readableSize(const std::string& path, const struct stat& named,
                                          std::string& reason)
{
    // O_NONBLOCK: the path was checked before opening, but may be swapped for a fifo since.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const int error = errno;
        if (S_ISBLK(named.st_mode) && (error == EACCES || error == EPERM))
            return blockDeviceSizeFromSysfs(named.st_rdev);
        reason = "cannot be read: " + systemReason(error) + ".";
        return std::nullopt;
    }
    struct stat opened {};
    std::optional<std::uint64_t> size;
    if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode)) {
        size = static_cast<std::uint64_t>(opened.st_size);
    } else if (S_ISBLK(opened.st_mode)) {
        std::uint64_t bytes = 0;
        if (::ioctl(fd, BLKGETSIZE64, &bytes) == 0)
            size = bytes;
    }
    ::close(fd);
    if (!size)
        reason = "is neither a disk image file nor a block device.";
    return size;
}

} // namespace

DiskImageResult recordForDiskImage(const std::string& path)
{
    if (path.empty())
        return {std::nullopt, "No disk image was given."};
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error).lexically_normal();
    if (error)
        return refused(path, "cannot be found: " + error.message() + ".");
    const std::string absolutePath = absolute.string();

    struct stat named {};
    if (::stat(absolutePath.c_str(), &named) != 0)
        return refused(absolutePath, "cannot be read: " + systemReason(errno) + ".");
    if (!S_ISREG(named.st_mode) && !S_ISBLK(named.st_mode))
        return refused(absolutePath, "is neither a disk image file nor a block device.");

    std::string reason;
    const std::optional<std::uint64_t> sizeBytes = readableSize(absolutePath, named, reason);
    if (!sizeBytes)
        return refused(absolutePath, reason.empty() ? "cannot be sized." : reason);
    // Searches read whole sectors; a shorter file has nothing to search.
    if (*sizeBytes < 512)
        return refused(absolutePath, "is smaller than one sector (512 bytes).");

    return {MyDataObject(absolutePath, absolute.filename().string(), "Disk Image",
                         getMPSize(std::to_string(*sizeBytes)), "", sectorCountText(*sizeBytes)),
            {}};
}

} // namespace salvyn
