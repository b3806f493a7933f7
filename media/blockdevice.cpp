#include "media/blockdevice.h"

#include <algorithm>
#include <cctype>

namespace salvyn {
namespace {

std::string upperCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

void putText(DiskInfo& info, const char* key, const std::optional<std::string>& value)
{
    if (value)
        info[key] = *value;
}

// Loop devices are disk images attached as disks, wherever they sit in the chain.
bool holdsDiskImage(const BlockDeviceChain& chain)
{
    return std::any_of(chain.begin(), chain.end(),
                       [](const BlockDevice& device) { return device.type == "loop"; });
}

} // namespace

DiskInfo diskInfoFromChain(const BlockDeviceChain& chain, const UdevProperties& wholeDiskUdev)
{
    DiskInfo info;
    if (chain.empty())
        return info;
    const BlockDevice& volume = chain.front();
    const BlockDevice& wholeDisk = chain.back();

    putText(info, kDeviceIdentifier, volume.kernelName);
    putText(info, kVolumeName, volume.label);
    putText(info, kFilesystemUserVisibleName,
            fileSystemUserVisibleName(volume.fileSystemType, volume.fileSystemVersion));
    if (volume.sizeBytes)
        info[kIOKitSize] = *volume.sizeBytes;
    // A file system on the whole disk is its own parent.
    putText(info, kParentWholeDisk, wholeDisk.kernelName);

    if (holdsDiskImage(chain))
        info[kBusProtocol] = std::string("Disk Image");
    else if (wholeDisk.transport && !wholeDisk.transport->empty())
        info[kBusProtocol] = upperCase(*wholeDisk.transport);

    if (isOpticalDrive(chain))
        putText(info, kOpticalDeviceType, opticalDeviceType(wholeDiskUdev));
    return info;
}

bool isHotPluggable(const BlockDeviceChain& chain)
{
    return !chain.empty() && chain.back().hotPluggable;
}

bool isOpticalDrive(const BlockDeviceChain& chain)
{
    return !chain.empty() && chain.back().type == "rom";
}

std::string wholeDiskPath(const BlockDeviceChain& chain)
{
    if (chain.empty())
        return {};
    return chain.back().path.value_or(std::string());
}

std::optional<std::string> fileSystemUserVisibleName(const std::optional<std::string>& type,
                                                     const std::optional<std::string>& version)
{
    if (!type || type->empty())
        return std::nullopt;
    if (*type == "vfat")
        return "MS-DOS (" + (version && !version->empty() ? *version : std::string("FAT")) + ")";
    if (*type == "exfat")
        return std::string("ExFAT");
    if (*type == "ntfs")
        return std::string("NTFS");
    if (*type == "hfsplus")
        return std::string("Mac OS Extended");
    if (*type == "apfs")
        return std::string("APFS");
    if (*type == "iso9660")
        return std::string("ISO 9660");
    if (*type == "udf")
        return std::string("UDF");
    return type;
}

} // namespace salvyn
