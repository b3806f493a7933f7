#include "media/qt/diskinfoprovider.h"

#include "media/qt/blockdevicequery.h"

#include <QDir>
#include <QStorageInfo>

namespace salvyn {
namespace {

// The device mounted exactly at mountPath. A card unmounted since it was listed leaves its
// folder on the file system below, which must not be described in its place.
QString deviceMountedAt(const QString& mountPath)
{
    const QStorageInfo volume(mountPath);
    if (!volume.isValid() || volume.rootPath() != QDir::cleanPath(mountPath))
        return {};
    return QString::fromLocal8Bit(volume.device());
}

} // namespace

DiskInfo LsblkDiskInfoProvider::diskInfo(const QString& designator)
{
    const QString device = designator.startsWith(QLatin1String("/dev/")) ? designator : deviceMountedAt(designator);
    if (!device.startsWith(QLatin1String("/dev/")))
        return {};
    const BlockDeviceChain chain = queryBlockDeviceChain(device);
    const UdevProperties udev = isOpticalDrive(chain) ? queryUdevProperties(QString::fromStdString(wholeDiskPath(chain)))
                                                      : UdevProperties{};
    return diskInfoFromChain(chain, udev);
}

} // namespace salvyn
