#pragma once
// Lists the mount paths of the mounted volumes that may be searched: those whose whole
// disk can be unplugged (USB sticks and disks, SD cards, optical discs), in mount-table
// order, each device once. The real lister reads the kernel's mount table and asks lsblk
// about each device; tests inject lists. Called on the media list's worker thread.
#include <QStringList>

namespace salvyn {

class VolumeLister {
public:
    virtual ~VolumeLister() = default;
    virtual QStringList mountedRemovableVolumes() = 0;
};

class SystemVolumeLister : public VolumeLister {
public:
    QStringList mountedRemovableVolumes() override;
};

} // namespace salvyn
