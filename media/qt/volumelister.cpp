#include "media/qt/volumelister.h"

#include "media/qt/blockdevicequery.h"
#include "media/volumefilter.h"

#include <QStorageInfo>

namespace salvyn {

QStringList StorageVolumeLister::mountedRemovableVolumes()
{
    std::vector<MountedVolume> mountTable;
    const QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    for (const QStorageInfo& volume : volumes) {
        mountTable.push_back({volume.rootPath().toStdString(), volume.device().toStdString(),
                              volume.isValid() && volume.isReady()});
    }
    const std::vector<std::string> paths = removableMountPaths(mountTable, [](const std::string& device) {
        return isHotPluggable(queryBlockDeviceChain(QString::fromStdString(device)));
    });
    QStringList answer;
    for (const std::string& path : paths)
        answer.append(QString::fromStdString(path));
    return answer;
}

} // namespace salvyn
