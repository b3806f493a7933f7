#pragma once
// Reads block devices as an ordinary user: when opening "/dev/…" is refused for lack of
// rights, udisks2 is asked for a read-only descriptor (the desktop asks for the
// administrator password). First for a backup descriptor, which udisks only gives for a
// device not in use; for a mounted volume then for a plain read-only one. A descriptor
// that could write is never handed out. One request at a time; any thread.
#include "platform/qt/udisksbus.h"
#include "platform/rawsectoropener.h"

#include <memory>
#include <mutex>
#include <string>

namespace salvyn {

class UDisksOpener {
public:
    explicit UDisksOpener(std::unique_ptr<UDisksBus> bus);

    // A read-only descriptor of the device, owned by the caller, or -1 with errno EACCES
    // when udisks is missing, does not know the device, or the user declined.
    int openReadOnly(const std::string& devicePath);

private:
    int readOnlyOrClosed(int fd);

    std::mutex m_oneRequestAtATime;
    std::unique_ptr<UDisksBus> m_bus;
};

// The privileged fallback of the raw device opener, over the system's udisks2 service.
RawSectorOpener::PrivilegedOpen udisksPrivilegedOpen();

} // namespace salvyn
