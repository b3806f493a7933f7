// Format end of ASF (WMA, WMV): the file properties object in the header states the
// file's size, which is believed only when the top-level objects (the header, the data
// object and the indexes after it) add up to it exactly.
#include "results/formatends.h"

#include <array>
#include <cstring>

namespace salvyn {

namespace {

using Guid = std::array<std::uint8_t, 16>;
constexpr Guid kHeaderObject = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr Guid kFilePropertiesObject = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11, 0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid kDataObject = {0x36, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr std::uint64_t kObjectHeaderBytes = 24;
constexpr std::uint64_t kHeaderObjectBytes = 30;
constexpr std::uint64_t kDataObjectHeaderBytes = 50;
constexpr std::uint64_t kFilePropertiesBytes = 104;
// A header holds a dozen objects and a file a few indexes; more is no real file.
constexpr std::uint32_t kMaxObjects = 1024;
constexpr std::uint32_t kBroadcastFlag = 1;

bool isObject(FormatEndReader& file, std::uint64_t offset, const Guid& guid)
{
    Guid id;
    return file.read(offset, id.data(), id.size()) && id == guid;
}

// The file size the file properties object states, none when the file was written as a
// broadcast whose size was not known.
std::optional<std::uint64_t> statedFileSize(FormatEndReader& file, std::uint64_t headerBytes, std::uint32_t objects)
{
    std::uint64_t offset = kHeaderObjectBytes;
    for (std::uint32_t i = 0; i < objects && offset + kObjectHeaderBytes <= headerBytes; ++i) {
        auto bytes = file.le64(offset + 16);
        if (!bytes || *bytes < kObjectHeaderBytes || *bytes > headerBytes - offset)
            return std::nullopt;
        if (isObject(file, offset, kFilePropertiesObject)) {
            auto flags = file.le32(offset + 88);
            if (*bytes < kFilePropertiesBytes || !flags || (*flags & kBroadcastFlag))
                return std::nullopt;
            return file.le64(offset + 40);
        }
        offset += *bytes;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::uint64_t> asfEnd(FormatEndReader& file)
{
    auto headerBytes = file.le64(16);
    auto objects = file.le32(24);
    if (!isObject(file, 0, kHeaderObject) || !headerBytes || *headerBytes < kHeaderObjectBytes || !objects
        || *objects > kMaxObjects || *headerBytes > file.limit())
        return std::nullopt;
    const auto fileSize = statedFileSize(file, *headerBytes, *objects);
    auto dataBytes = file.le64(*headerBytes + 16);
    if (!fileSize || !isObject(file, *headerBytes, kDataObject) || !dataBytes || *dataBytes < kDataObjectHeaderBytes
        || *headerBytes > *fileSize || *dataBytes > *fileSize - *headerBytes)
        return std::nullopt;
    // The indexes after the data object close the file.
    std::uint64_t offset = *headerBytes + *dataBytes;
    for (std::uint32_t i = 0; i < kMaxObjects && offset < *fileSize; ++i) {
        auto bytes = file.le64(offset + 16);
        if (!bytes || *bytes < kObjectHeaderBytes || *bytes > *fileSize - offset)
            return std::nullopt;
        offset += *bytes;
    }
    if (offset != *fileSize)
        return std::nullopt;
    return file.endIfReadable(offset);
}

} // namespace salvyn
