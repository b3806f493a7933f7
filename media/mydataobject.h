#pragma once
// One searchable volume as the media table shows it. Every value is text, numbers too.
// A record is complete when made and never edited afterwards (a refresh replaces the
// whole media list), so it has no setters and any thread may read it without a lock.
// A volume without a name holds an empty name and shows an empty cell; a volume named
// with the empty text reaches the record already as "Untitled".
#include <cstdint>
#include <string>
#include <string_view>

namespace salvyn {

class MyDataObject {
public:
    // The six texts in this order: device identifier, volume name, file system name,
    // size text, parent disk identifier, sector count.
    MyDataObject(std::string diskIdentifier, std::string volName, std::string fileSystem, std::string size,
                 std::string parentDisk, std::string sectors);

    const std::string& nsStrDiskIdentifier() const { return m_nsStrDiskIdentifier; }
    const std::string& nsStrVolName() const { return m_nsStrVolName; }
    const std::string& nsStrFileSystem() const { return m_nsStrFileSystem; }
    const std::string& nsStrSize() const { return m_nsStrSize; }
    const std::string& nsStrParentDisk() const { return m_nsStrParentDisk; }
    const std::string& nsStrSectors() const { return m_nsStrSectors; }

private:
    const std::string m_nsStrDiskIdentifier;
    const std::string m_nsStrVolName;
    const std::string m_nsStrFileSystem;
    const std::string m_nsStrSize;
    const std::string m_nsStrParentDisk;
    const std::string m_nsStrSectors;
};

// Capacity as shown to users, from a byte count in decimal text: divided by 1024 in
// single precision while strictly above 1024, up to TB, with two decimals, the unit and
// a trailing space ("512.00 bytes ", "7.45  GB ").
std::string getMPSize(std::string_view bytesText);

// Whole 512-byte sectors in `bytes`, in decimal.
std::string sectorCountText(std::uint64_t bytes);

// The media table's cell: "Collumn1".."Collumn6" show the record's six texts in order;
// any other column, or no record, shows nothing.
std::string mediaTableValue(const MyDataObject* record, std::string_view columnIdentifier);

} // namespace salvyn
