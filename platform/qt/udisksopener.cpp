#include "platform/qt/udisksopener.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace salvyn {

UDisksOpener::UDisksOpener(std::unique_ptr<UDisksBus> bus)
    : m_bus(std::move(bus))
{
}

int UDisksOpener::openReadOnly(const std::string& devicePath)
{
    if (!devicePath.starts_with("/dev/")) {
        errno = EACCES;
        return -1;
    }
    const std::lock_guard<std::mutex> lock(m_oneRequestAtATime);
    const QString blockObject = m_bus->isAvailable() ? m_bus->blockObjectFor(QString::fromStdString(devicePath))
                                                     : QString();
    if (blockObject.isEmpty()) {
        errno = EACCES;
        return -1;
    }
    const UDisksBus::Opened backup = m_bus->openForBackup(blockObject);
    if (backup.fd >= 0)
        return readOnlyOrClosed(backup.fd);
    // The user declined or may not: asking once more would only repeat the question.
    if (backup.errorName.startsWith(QLatin1String("org.freedesktop.UDisks2.Error.NotAuthorized"))) {
        errno = EACCES;
        return -1;
    }
    const UDisksBus::Opened reading = m_bus->openDeviceForReading(blockObject);
    if (reading.fd >= 0)
        return readOnlyOrClosed(reading.fd);
    errno = EACCES;
    return -1;
}

int UDisksOpener::readOnlyOrClosed(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1 && (flags & O_ACCMODE) == O_RDONLY)
        return fd;
    ::close(fd);
    errno = EACCES;
    return -1;
}

RawSectorOpener::PrivilegedOpen udisksPrivilegedOpen()
{
    auto opener = std::make_shared<UDisksOpener>(std::make_unique<SystemUDisksBus>());
    return [opener](const std::string& devicePath) { return opener->openReadOnly(devicePath); };
}

} // namespace salvyn
