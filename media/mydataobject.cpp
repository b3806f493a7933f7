#include "media/mydataobject.h"

#include "platform/numbertext.h"

#include <cstdio>
#include <utility>

namespace salvyn {

MyDataObject::MyDataObject(std::string diskIdentifier, std::string volName, std::string fileSystem,
                           std::string size, std::string parentDisk, std::string sectors)
    : m_nsStrDiskIdentifier(std::move(diskIdentifier))
    , m_nsStrVolName(std::move(volName))
    , m_nsStrFileSystem(std::move(fileSystem))
    , m_nsStrSize(std::move(size))
    , m_nsStrParentDisk(std::move(parentDisk))
    , m_nsStrSectors(std::move(sectors))
{
}

std::string getMPSize(std::string_view bytesText)
{
    // Single precision throughout: the shown figures depend on it.
    float value = floatValue(bytesText);
    const char* unit = "bytes";
    for (const char* larger : {" KB", " MB", " GB", " TB"}) {
        if (!(value > 1024.0f))
            break;
        value /= 1024.0f;
        unit = larger;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.2f %s ", static_cast<double>(value), unit);
    return text;
}

std::string sectorCountText(std::uint64_t bytes)
{
    return std::to_string(bytes / 512);
}

std::string mediaTableValue(const MyDataObject* record, std::string_view columnIdentifier)
{
    if (record == nullptr)
        return {};
    if (columnIdentifier == "Collumn1")
        return record->nsStrDiskIdentifier();
    if (columnIdentifier == "Collumn2")
        return record->nsStrVolName();
    if (columnIdentifier == "Collumn3")
        return record->nsStrFileSystem();
    if (columnIdentifier == "Collumn4")
        return record->nsStrSize();
    if (columnIdentifier == "Collumn5")
        return record->nsStrParentDisk();
    if (columnIdentifier == "Collumn6")
        return record->nsStrSectors();
    return {};
}

} // namespace salvyn
