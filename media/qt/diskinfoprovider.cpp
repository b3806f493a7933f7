#include "media/qt/diskinfoprovider.h"

#include "media/qt/blockdevicequery.h"

#include <QStorageInfo>

namespace salvyn {

DiskInfo LsblkDiskInfoProvider::diskInfo(const QString& designator)
{
    const QString device = designator.startsWith(QLatin1String("/dev/"))
        ? designator
        : QString::fromLocal8Bit(QStorageInfo(designator).device());
    if (!device.startsWith(QLatin1String("/dev/")))
        return {};
    const BlockDeviceChain chain = queryBlockDeviceChain(device);
    const UdevProperties udev = isOpticalDrive(chain) ? queryUdevProperties(QString::fromStdString(wholeDiskPath(chain)))
                                                      : UdevProperties{};
    return diskInfoFromChain(chain, udev);
}

} // namespace salvyn
