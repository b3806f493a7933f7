#pragma once
// Opens block devices and disk image files read-only, served through a large read buffer.
#include "platform/sectorsourceopener.h"

#include <functional>

namespace salvyn {

class RawSectorOpener : public SectorSourceOpener {
public:
    // Asked for a read-only descriptor of the device path when the plain open is refused
    // for lack of rights (EACCES, EPERM); answers -1 when it cannot help. The descriptor
    // is owned by the stream afterwards.
    using PrivilegedOpen = std::function<int(const std::string& devicePath)>;

    explicit RawSectorOpener(PrivilegedOpen privilegedOpen = {});
    SectorSourceOpening open(const std::string& identifierOrPath) override;

private:
    PrivilegedOpen m_privilegedOpen;
};

} // namespace salvyn
