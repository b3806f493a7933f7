#include "platform/rawsectoropener.h"

#include "platform/rawdevicepath.h"
#include "platform/rawsectorstream.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace salvyn {

namespace {

SectorSourceOpening failure(int errorNumber, const std::string& path, const std::string& reason)
{
    SectorSourceOpening opening;
    opening.error = {errorNumber, path, "cannot open " + path + ": " + reason};
    return opening;
}

// Only block devices and regular image files are media; a size is known for both.
SectorSourceOpening streamFor(int fd, const std::string& path)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        return failure(error, path, std::strerror(error));
    }
    std::uint64_t byteSize = 0;
    if (S_ISREG(info.st_mode)) {
        byteSize = static_cast<std::uint64_t>(info.st_size);
    } else if (S_ISBLK(info.st_mode)) {
        if (::ioctl(fd, BLKGETSIZE64, &byteSize) != 0) {
            const int error = errno;
            ::close(fd);
            return failure(error, path, std::strerror(error));
        }
    } else {
        ::close(fd);
        return failure(ENODEV, path, "not a disk device or disk image");
    }
    // Opened without blocking so a stray FIFO cannot hang us; media read blocking. A stream
    // left non-blocking would turn a slow read into a failed one, so that is an error too.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags == -1 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1) {
        const int error = errno;
        ::close(fd);
        return failure(error, path, std::strerror(error));
    }
    SectorSourceOpening opening;
    opening.stream = std::make_unique<RawSectorStream>(fd, byteSize);
    return opening;
}

} // namespace

RawSectorOpener::RawSectorOpener(PrivilegedOpen privilegedOpen) : m_privilegedOpen(std::move(privilegedOpen)) {}

SectorSourceOpening RawSectorOpener::open(const std::string& identifierOrPath)
{
    const auto path = rawDevicePath(identifierOrPath);
    if (!path)
        return failure(EINVAL, identifierOrPath, "not a device name or an absolute path");
    int fd = ::open(path->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        if ((error == EACCES || error == EPERM) && m_privilegedOpen)
            fd = m_privilegedOpen(*path);
        if (fd < 0)
            return failure(error, *path, std::strerror(error));
    }
    return streamFor(fd, *path);
}

} // namespace salvyn
