#include "media/diskinfo.h"

namespace salvyn {

std::optional<std::string> diskInfoText(const DiskInfo& info, const std::string& key)
{
    const auto found = info.find(key);
    if (found == info.end())
        return std::nullopt;
    if (const auto* text = std::get_if<std::string>(&found->second))
        return *text;
    return std::nullopt;
}

std::uint64_t diskInfoSize(const DiskInfo& info)
{
    const auto found = info.find(kIOKitSize);
    if (found == info.end())
        return 0;
    if (const auto* bytes = std::get_if<std::uint64_t>(&found->second))
        return *bytes;
    return 0;
}

std::optional<MyDataObject> find_disk_info(const DiskInfo& properties)
{
    if (diskInfoText(properties, kBusProtocol) == "Disk Image")
        return std::nullopt;
    const std::optional<std::string> optical = diskInfoText(properties, kOpticalDeviceType);
    if (optical && optical->find("CD") != std::string::npos)
        return std::nullopt;

    const std::optional<std::string> identifier = diskInfoText(properties, kDeviceIdentifier);
    std::optional<std::string> volumeName = diskInfoText(properties, kVolumeName);
    const std::uint64_t sizeBytes = diskInfoSize(properties);
    if (volumeName && volumeName->empty())
        volumeName = "Untitled";
    if (!identifier || identifier->empty())
        return std::nullopt;

    // An absent text is held as an empty one: the record shows an empty cell for it.
    return MyDataObject(*identifier, volumeName.value_or(""),
                        diskInfoText(properties, kFilesystemUserVisibleName).value_or(""),
                        getMPSize(std::to_string(sizeBytes)),
                        diskInfoText(properties, kParentWholeDisk).value_or(""), sectorCountText(sizeBytes));
}

} // namespace salvyn
