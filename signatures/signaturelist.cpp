#include "signatures/signaturelist.h"

#include "signatures/hexconversion.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>

namespace salvyn {
namespace {

constexpr std::size_t kLinesPerGroup = 6;
constexpr std::string_view kHeaderLabel = "Header :";

// Whole file as bytes; nullopt when it cannot be opened or read (a folder, no access).
// Plain stdio: file streams throw from deep inside on some of these.
std::optional<std::string> readWholeFile(const std::string& path)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file)
        return std::nullopt;
    std::string content;
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        content.append(buffer, got);
    if (std::ferror(file.get()))
        return std::nullopt;
    return content;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF, no cut sequence.
bool isValidUtf8(std::string_view text)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        const unsigned char lead = *p++;
        if (lead < 0x80)
            continue;
        int extra = 0;
        char32_t cp = 0;
        char32_t min = 0;
        if ((lead & 0xE0) == 0xC0) { extra = 1; cp = lead & 0x1F; min = 0x80; }
        else if ((lead & 0xF0) == 0xE0) { extra = 2; cp = lead & 0x0F; min = 0x800; }
        else if ((lead & 0xF8) == 0xF0) { extra = 3; cp = lead & 0x07; min = 0x10000; }
        else return false;
        if (end - p < extra)
            return false;
        for (int k = 0; k < extra; ++k, ++p) {
            if ((*p & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (*p & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
    }
    return true;
}

// White space and line breaks as Unicode counts them: controls 9-13, U+0085 and the
// space, line and paragraph separators.
bool isWhiteSpaceOrBreak(char32_t cp)
{
    return (cp >= 0x09 && cp <= 0x0D) || cp == 0x20 || cp == 0x85 || cp == 0xA0 || cp == 0x1680
        || (cp >= 0x2000 && cp <= 0x200A) || cp == 0x2028 || cp == 0x2029 || cp == 0x202F
        || cp == 0x205F || cp == 0x3000;
}

// Code point starting at `at` of valid UTF-8 text, and its length in bytes.
std::pair<char32_t, std::size_t> decodeAt(std::string_view text, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : 4;
    char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(text[at + k]) & 0x3F);
    return {cp, length};
}

std::string_view trimmed(std::string_view text)
{
    std::size_t first = 0;
    while (first < text.size()) {
        const auto [cp, length] = decodeAt(text, first);
        if (!isWhiteSpaceOrBreak(cp))
            break;
        first += length;
    }
    std::size_t last = text.size();
    while (last > first) {
        std::size_t start = last - 1;
        while (start > first && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
            --start;
        if (!isWhiteSpaceOrBreak(decodeAt(text, start).first))
            break;
        last = start;
    }
    return text.substr(first, last - first);
}

// A value holding a full stop keeps what follows the first one, in upper case:
// ".jpg" is JPG, "10.5" is 5, "mov" stays mov.
std::string entryValue(std::string_view value)
{
    const auto stop = value.find('.');
    if (stop == std::string_view::npos)
        return std::string(value);
    std::string upper(value.substr(stop + 1));
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

// The first header byte from the header value's first two characters (fewer when the
// value is shorter: "" gives 0, "F" gives 15).
std::string firstHeaderByte(std::string_view headerValue)
{
    const std::u16string units = toUtf16(headerValue);
    return std::to_string(hex2int(std::u16string_view(units).substr(0, 2)));
}

void warnAboutType(const std::string& type, const std::string& path, std::ostream& warnings)
{
    if (type.find_first_of("/.") != std::string::npos)
        warnings << "Signature list " << path << ": type \"" << type
                 << "\" holds '/' or '.'; its files are neither counted nor numbered by type\n";
}

} // namespace

SignatureList loadSignatureList(const std::string& path, std::ostream& warnings)
{
    const auto content = readWholeFile(path);
    if (!content || !isValidUtf8(*content))
        return {};
    SignatureList list;
    std::string pendingHeaderByte;
    std::size_t groupCount = 0;
    const std::string_view text(*content);
    for (std::size_t lineStart = 0; lineStart <= text.size();) {
        const std::size_t lineEnd = std::min(text.find('\n', lineStart), text.size());
        const std::string_view line = text.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            continue;
        const std::string_view value = trimmed(line.substr(colon + 1));
        if (line.substr(0, colon + 1) == kHeaderLabel)
            pendingHeaderByte = firstHeaderByte(value);
        list.push_back(entryValue(value));
        if (++groupCount == kLinesPerGroup) {
            list.push_back(std::move(pendingHeaderByte));
            pendingHeaderByte.clear();
            groupCount = 0;
            warnAboutType(list[list.size() - kSignatureRecordSize], path, warnings);
        }
    }
    if (groupCount != 0) {
        // A partial record would send every reader of entries 0..6 past the list's end.
        list.resize(list.size() - groupCount);
        warnings << "Signature list " << path << ": incomplete last record of " << groupCount
                 << " line(s) dropped\n";
    }
    return list;
}

SignatureLists loadSignatureLists(const std::string& resourceFolder, std::ostream& warnings)
{
    const auto load = [&](const char* name) { return loadSignatureList(resourceFolder + name, warnings); };
    SignatureLists lists;
    lists.Ext_Array = load("/ZephExt2.dll");
    lists.Adv_Ext_Array = load("/ZephExt2Adv.dll");
    lists.Video_Array = load("/ZephVideo.dll");
    lists.Adv_Video_Array = load("/ZephVideoAdv.dll");
    lists.RawFile_Array = load("/ZephRaw.dll");
    lists.Adv_RawFile_Array = load("/ZephRawAdv.dll");
    lists.Audio_Array = load("/ZephAudio.dll");
    lists.Adv_Audio_Array = load("/ZephAudioAdv.dll");
    return lists;
}

} // namespace salvyn
