#include "results/capturedetails.h"

#include "results/formatends.h"
#include "results/formatendtable.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>
#include <utility>
#include <vector>

namespace salvyn {

namespace {

// The metadata sits near the start of a photo; a movie header box is small.
constexpr std::uint64_t kMostExifBytes = 256 * 1024;
constexpr std::uint64_t kMostMovieHeaderBytes = 4 * 1024 * 1024;
constexpr int kMostBoxes = 4096;
// A movie header's creation time is counted from 1904; none is later than the year 9999.
constexpr std::uint64_t kLastMovieTime = 253402300799ull + 2082844800ull;

// The bytes [offset, offset + size) of a span of the medium, cut at its end.
class Span {
public:
    Span(ByteReader& medium, std::uint64_t first, std::uint64_t length) : m_medium(medium), m_first(first), m_length(length) {}
    std::vector<std::uint8_t> read(std::uint64_t offset, std::uint64_t size) const
    {
        if (offset >= m_length)
            return {};
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::min(size, m_length - offset)));
        bytes.resize(m_medium.readAt(m_first + offset, bytes.data(), bytes.size()));
        return bytes;
    }
    std::uint64_t length() const { return m_length; }

private:
    ByteReader& m_medium;
    std::uint64_t m_first;
    std::uint64_t m_length;
};

std::uint64_t bigEndian(const std::uint8_t* bytes, int count)
{
    std::uint64_t value = 0;
    for (int k = 0; k < count; ++k)
        value = value << 8 | bytes[k];
    return value;
}

std::string trimmed(std::string text)
{
    while (!text.empty() && (text.back() == '\0' || text.back() == ' '))
        text.pop_back();
    const auto first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

// "Canon" + "Canon EOS 80D" says the make once.
std::string cameraName(const std::string& make, const std::string& model)
{
    if (make.empty() || model.rfind(make, 0) == 0)
        return model;
    return model.empty() ? make : make + " " + model;
}

bool validTime(const CaptureTime& t)
{
    return t.year >= 1900 && t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 && t.hour <= 23 && t.minute <= 59
        && t.second <= 60;
}

// EXIF's "YYYY:MM:DD HH:MM:SS".
std::optional<CaptureTime> exifTime(const std::string& text)
{
    CaptureTime t;
    if (std::sscanf(text.c_str(), "%4d:%2d:%2d %2d:%2d:%2d", &t.year, &t.month, &t.day, &t.hour, &t.minute,
                    &t.second) != 6 || !validTime(t))
        return std::nullopt;
    return t;
}

// A TIFF structure held in memory: byte order, directories, their text values and offsets.
class Tiff {
public:
    explicit Tiff(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes))
    {
        m_valid = m_bytes.size() >= 8 && ((m_bytes[0] == 'I' && m_bytes[1] == 'I') || (m_bytes[0] == 'M' && m_bytes[1] == 'M'));
        m_little = m_valid && m_bytes[0] == 'I';
    }
    bool valid() const { return m_valid; }
    std::uint32_t firstDirectory() const { return number(4, 4); }

    // The text of `tag` in the directory at `directory`; empty when absent or not text.
    std::string text(std::uint32_t directory, std::uint16_t tag) const
    {
        const std::optional<std::uint64_t> entry = entryOf(directory, tag);
        if (!entry || number(*entry + 2, 2) != 2)
            return {};
        const std::uint32_t items = number(*entry + 4, 4);
        const std::uint64_t at = items <= 4 ? *entry + 8 : number(*entry + 8, 4);
        if (at + items > m_bytes.size())
            return {};
        return trimmed(std::string(m_bytes.begin() + static_cast<long>(at), m_bytes.begin() + static_cast<long>(at + items)));
    }

    // The offset `tag` in the directory at `directory` points to (a LONG or IFD value); none
    // when absent or of another type.
    std::optional<std::uint32_t> offset(std::uint32_t directory, std::uint16_t tag) const
    {
        const std::optional<std::uint64_t> entry = entryOf(directory, tag);
        const std::uint32_t type = entry ? number(*entry + 2, 2) : 0;
        if (type != 4 && type != 13)
            return std::nullopt;
        return number(*entry + 8, 4);
    }

private:
    std::optional<std::uint64_t> entryOf(std::uint32_t directory, std::uint16_t tag) const
    {
        const std::uint32_t count = number(directory, 2);
        for (std::uint32_t k = 0; k < count && k < 1024; ++k) {
            const std::uint64_t entry = directory + 2ull + 12ull * k;
            if (entry + 12 > m_bytes.size())
                break;
            if (number(entry, 2) == tag)
                return entry;
        }
        return std::nullopt;
    }

    std::uint32_t number(std::uint64_t offset, int size) const
    {
        if (offset + size > m_bytes.size())
            return 0;
        std::uint32_t value = 0;
        for (int k = 0; k < size; ++k)
            value |= std::uint32_t(m_bytes[offset + k]) << (m_little ? 8 * k : 8 * (size - 1 - k));
        return value;
    }

    std::vector<std::uint8_t> m_bytes;
    bool m_valid = false;
    bool m_little = false;
};

CaptureDetails tiffDetails(const Tiff& tiff)
{
    CaptureDetails details;
    if (!tiff.valid())
        return details;
    const std::uint32_t root = tiff.firstDirectory();
    details.camera = cameraName(tiff.text(root, 0x010F), tiff.text(root, 0x0110));
    if (const std::optional<std::uint32_t> exif = tiff.offset(root, 0x8769))
        details.taken = exifTime(tiff.text(*exif, 0x9003));
    if (!details.taken)
        details.taken = exifTime(tiff.text(root, 0x0132));
    return details;
}

// The TIFF inside the first APP1 "Exif" segment, found by walking the markers before the scan.
CaptureDetails jpegDetails(const Span& file)
{
    const std::vector<std::uint8_t> head = file.read(0, kMostExifBytes);
    std::size_t at = 2;
    while (at + 4 <= head.size() && head[at] == 0xFF) {
        const std::uint8_t marker = head[at + 1];
        const std::size_t size = static_cast<std::size_t>(bigEndian(&head[at + 2], 2));
        if (marker == 0xDA || size < 2)
            break;
        if (marker == 0xE1 && at + 2 + size <= head.size() && size >= 8 && std::equal(head.begin() + static_cast<long>(at + 4), head.begin() + static_cast<long>(at + 10), "Exif\0\0"))
            return tiffDetails(Tiff({head.begin() + static_cast<long>(at + 10), head.begin() + static_cast<long>(at + 2 + size)}));
        at += 2 + size;
    }
    return {};
}

struct Box {
    std::uint64_t offset; // of its content
    std::uint64_t size;   // of its content
    std::string type;
};

// The boxes laid one after another in [begin, end) of `bytes`.
std::vector<Box> boxesIn(const std::vector<std::uint8_t>& bytes, std::uint64_t begin, std::uint64_t end)
{
    std::vector<Box> boxes;
    while (begin + 8 <= end && boxes.size() < kMostBoxes) {
        std::uint64_t size = bigEndian(&bytes[begin], 4);
        std::uint64_t header = 8;
        if (size == 1 && begin + 16 <= end)
            size = bigEndian(&bytes[begin + 8], 8), header = 16;
        else if (size == 0)
            size = end - begin;
        if (size < header || begin + size > end)
            break;
        boxes.push_back({begin + header, size - header, std::string(bytes.begin() + static_cast<long>(begin + 4), bytes.begin() + static_cast<long>(begin + 8))});
        begin += size;
    }
    return boxes;
}

// A QuickTime user data text: 16-bit length, 16-bit language, the text.
std::string userDataText(const std::vector<std::uint8_t>& bytes, const Box& box)
{
    if (box.size < 4)
        return {};
    const std::uint64_t length = std::min<std::uint64_t>(bigEndian(&bytes[box.offset], 2), box.size - 4);
    const auto text = bytes.begin() + static_cast<long>(box.offset + 4);
    return trimmed(std::string(text, text + static_cast<long>(length)));
}

// The text values of a `meta` box's metadata keys (`keys`, then `ilst` items numbered by
// key), as phones write their make and model: by key name.
std::map<std::string, std::string> metadataKeys(const std::vector<std::uint8_t>& bytes, const Box& meta)
{
    // QuickTime's meta box has no version and flags before its boxes; ISO's has.
    std::uint64_t begin = meta.offset;
    if (meta.size >= 8 && !std::equal(bytes.begin() + static_cast<long>(begin + 4),
                                      bytes.begin() + static_cast<long>(begin + 8), "hdlr"))
        begin += 4;
    std::vector<std::string> keys;
    std::map<std::string, std::string> values;
    for (const Box& box : boxesIn(bytes, begin, meta.offset + meta.size)) {
        if (box.type == "keys" && box.size >= 8) {
            const std::uint64_t count = bigEndian(&bytes[box.offset + 4], 4);
            const std::uint64_t end = box.offset + box.size;
            for (std::uint64_t at = box.offset + 8; keys.size() < count && keys.size() < kMostBoxes && at + 8 <= end;) {
                const std::uint64_t size = bigEndian(&bytes[at], 4);
                if (size < 8 || at + size > end)
                    break;
                keys.emplace_back(bytes.begin() + static_cast<long>(at + 8), bytes.begin() + static_cast<long>(at + size));
                at += size;
            }
        }
        if (box.type != "ilst")
            continue;
        for (const Box& item : boxesIn(bytes, box.offset, box.offset + box.size)) {
            const std::uint64_t key = bigEndian(reinterpret_cast<const std::uint8_t*>(item.type.data()), 4);
            if (key == 0 || key > keys.size())
                continue;
            for (const Box& data : boxesIn(bytes, item.offset, item.offset + item.size))
                if (data.type == "data" && data.size >= 8 && bigEndian(&bytes[data.offset], 4) == 1) // UTF-8
                    values[keys[key - 1]] = trimmed(std::string(bytes.begin() + static_cast<long>(data.offset + 8),
                                                                bytes.begin() + static_cast<long>(data.offset + data.size)));
        }
    }
    return values;
}

// The make and model a phone writes as metadata keys: Apple's, or Android's.
void phoneCamera(const std::map<std::string, std::string>& keys, std::string& make, std::string& model)
{
    for (const auto& [makeKey, modelKey] : {std::pair{"com.apple.quicktime.make", "com.apple.quicktime.model"},
                                            std::pair{"com.android.manufacturer", "com.android.model"}}) {
        if (const auto found = keys.find(makeKey); found != keys.end() && make.empty())
            make = found->second;
        if (const auto found = keys.find(modelKey); found != keys.end() && model.empty())
            model = found->second;
    }
}

// The movie box among the top-level boxes, its header's creation time (seconds since
// 1904, UTC) and the make and model of its user data or of its metadata keys.
CaptureDetails movieDetails(const Span& file)
{
    std::uint64_t at = 0;
    for (int boxes = 0; at + 8 <= file.length() && boxes < kMostBoxes; ++boxes) {
        const std::vector<std::uint8_t> header = file.read(at, 16);
        if (header.size() < 8)
            return {};
        std::uint64_t size = bigEndian(header.data(), 4);
        if (size == 1 && header.size() == 16)
            size = bigEndian(header.data() + 8, 8);
        else if (size == 0)
            size = file.length() - at;
        if (size < 8)
            return {};
        if (std::equal(header.begin() + 4, header.begin() + 8, "moov")) {
            const std::vector<std::uint8_t> moov = file.read(at, std::min(size, kMostMovieHeaderBytes));
            CaptureDetails details;
            std::string make, model;
            for (const Box& box : boxesIn(moov, 8, moov.size())) {
                if (box.type == "mvhd" && box.size >= 16) {
                    const bool wide = moov[box.offset] == 1;
                    const std::uint64_t seconds = bigEndian(&moov[box.offset + 4], wide ? 8 : 4);
                    if (seconds > 0 && seconds <= kLastMovieTime) {
                        const std::time_t unix = static_cast<std::time_t>(seconds) - 2082844800;
                        std::tm utc{};
                        if (gmtime_r(&unix, &utc))
                            details.taken = CaptureTime{utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday,
                                                        utc.tm_hour, utc.tm_min, utc.tm_sec};
                    }
                }
                if (box.type == "meta")
                    phoneCamera(metadataKeys(moov, box), make, model);
                if (box.type == "udta")
                    for (const Box& entry : boxesIn(moov, box.offset, box.offset + box.size)) {
                        if (entry.type == "\xA9mak")
                            make = userDataText(moov, entry);
                        if (entry.type == "\xA9mod")
                            model = userDataText(moov, entry);
                        if (entry.type == "meta")
                            phoneCamera(metadataKeys(moov, entry), make, model);
                    }
            }
            details.camera = cameraName(make, model);
            return details;
        }
        at += size;
    }
    return {};
}

} // namespace

CaptureDetails captureDetailsOf(ByteReader& medium, std::string_view type, std::uint64_t firstByte, std::uint64_t length)
{
    const FormatEndRule* rule = formatEndRuleFor(type);
    if (rule == nullptr)
        return {};
    const Span file(medium, firstByte, length);
    if (rule->end == jpegEnd)
        return jpegDetails(file);
    if (rule->end == tiffEnd)
        return tiffDetails(Tiff(file.read(0, kMostExifBytes)));
    if (rule->end == isoMediaEnd)
        return movieDetails(file);
    return {};
}

std::string captureTimeText(const CaptureTime& time)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month, time.day, time.hour,
                  time.minute, time.second);
    return text;
}

} // namespace salvyn
