#include "media/qt/volumelister.h"

#include "media/mounttable.h"
#include "media/qt/blockdevicequery.h"

#include <QFile>

namespace salvyn {

QStringList SystemVolumeLister::mountedRemovableVolumes()
{
    const std::vector<std::string> paths = removableMountPaths(readMountTable(), [](const std::string& device) {
        return isHotPluggable(queryBlockDeviceChain(QString::fromStdString(device)));
    });
    QStringList answer;
    for (const std::string& path : paths)
        answer.append(QFile::decodeName(QByteArray::fromStdString(path)));
    return answer;
}

} // namespace salvyn
