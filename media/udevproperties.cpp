#include "media/udevproperties.h"

#include <array>
#include <utility>

namespace salvyn {

UdevProperties parseUdevProperties(std::string_view text)
{
    UdevProperties properties;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos || equals == 0)
            continue;
        properties[std::string(line.substr(0, equals))] = std::string(line.substr(equals + 1));
    }
    return properties;
}

std::optional<std::string> opticalDeviceType(const UdevProperties& properties)
{
    // ID_CDROM_MEDIA_* describe the disc; ID_CDROM_* without MEDIA are the drive's abilities,
    // and a DVD drive holding a CD must read as a CD.
    static constexpr std::array<std::pair<const char*, const char*>, 19> kMediaTypes{{
        {"ID_CDROM_MEDIA_CD", "CD-ROM"},
        {"ID_CDROM_MEDIA_CD_R", "CD-R"},
        {"ID_CDROM_MEDIA_CD_RW", "CD-RW"},
        {"ID_CDROM_MEDIA_DVD", "DVD-ROM"},
        {"ID_CDROM_MEDIA_DVD_R", "DVD-R"},
        {"ID_CDROM_MEDIA_DVD_RW", "DVD-RW"},
        {"ID_CDROM_MEDIA_DVD_RW_RO", "DVD-RW"},
        {"ID_CDROM_MEDIA_DVD_RW_SEQ", "DVD-RW"},
        {"ID_CDROM_MEDIA_DVD_RAM", "DVD-RAM"},
        {"ID_CDROM_MEDIA_DVD_PLUS_R", "DVD+R"},
        {"ID_CDROM_MEDIA_DVD_PLUS_RW", "DVD+RW"},
        {"ID_CDROM_MEDIA_DVD_PLUS_R_DL", "DVD+R DL"},
        {"ID_CDROM_MEDIA_DVD_PLUS_RW_DL", "DVD+RW DL"},
        {"ID_CDROM_MEDIA_BD", "BD-ROM"},
        {"ID_CDROM_MEDIA_BD_R", "BD-R"},
        {"ID_CDROM_MEDIA_BD_RE", "BD-RE"},
        {"ID_CDROM_MEDIA_HDDVD", "HD DVD-ROM"},
        {"ID_CDROM_MEDIA_HDDVD_R", "HD DVD-R"},
        {"ID_CDROM_MEDIA_HDDVD_RW", "HD DVD-RW"},
    }};
    for (const auto& [key, name] : kMediaTypes) {
        const auto found = properties.find(key);
        if (found != properties.end() && found->second == "1")
            return std::string(name);
    }
    return std::nullopt;
}

} // namespace salvyn
