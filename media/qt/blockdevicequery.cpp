#include "media/qt/blockdevicequery.h"

#include "media/qt/lsblkparser.h"
#include "media/qt/systemcommand.h"

namespace salvyn {

BlockDeviceChain queryBlockDeviceChain(const QString& devicePath)
{
    const std::optional<QByteArray> json = runSystemCommand(
        QStringLiteral("lsblk"),
        {QStringLiteral("--json"), QStringLiteral("--bytes"), QStringLiteral("--inverse"),
         QStringLiteral("--output"),
         QStringLiteral("NAME,KNAME,PATH,PKNAME,TYPE,SIZE,TRAN,RM,HOTPLUG,FSTYPE,FSVER,LABEL,MOUNTPOINTS"),
         devicePath});
    return json ? parseLsblkChain(*json) : BlockDeviceChain{};
}

UdevProperties queryUdevProperties(const QString& devicePath)
{
    const std::optional<QByteArray> lines = runSystemCommand(
        QStringLiteral("udevadm"),
        {QStringLiteral("info"), QStringLiteral("--query=property"), QStringLiteral("--name=") + devicePath});
    return lines ? parseUdevProperties(lines->toStdString()) : UdevProperties{};
}

} // namespace salvyn
