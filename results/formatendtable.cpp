#include "results/formatendtable.h"

#include <algorithm>
#include <array>

namespace salvyn {

namespace {

constexpr std::uint64_t kMiB = 1024ull * 1024;
constexpr std::uint64_t kGiB = 1024 * kMiB;
// Generous enough for an hour of 4K phone video, a raw camera still or a big archive;
// a limit also bounds how far a broken file is read before it counts as unknown.
constexpr std::uint64_t kVideoLimit = 64 * kGiB;
constexpr std::uint64_t kAudioLimit = 8 * kGiB;
constexpr std::uint64_t kPictureLimit = 1 * kGiB;
constexpr std::uint64_t kBitmapLimit = 4 * kGiB;
// Found by scanning forward, so kept lower: a PDF without a good end is read this far.
constexpr std::uint64_t kPdfLimit = 512 * kMiB;
constexpr std::uint64_t kOfficeLimit = 1 * kGiB;
constexpr std::uint64_t kArchiveLimit = 64 * kGiB;
// Text formats are found by scanning forward, so a file without its end is read this far.
constexpr std::uint64_t kTextLimit = 256 * kMiB;
constexpr std::uint64_t kWebPageLimit = 64 * kMiB;
constexpr std::uint64_t kProgramLimit = 4 * kGiB;
constexpr std::uint64_t kFontLimit = 256 * kMiB;
constexpr std::uint64_t kMailStoreLimit = 100 * kGiB;
constexpr std::uint64_t kPasswordSafeLimit = 1 * kGiB;
// A Virtual PC disk holds at most 2040 GiB.
constexpr std::uint64_t kDiskImageLimit = 2048 * kGiB;

constexpr std::array kRules = {
    FormatEndRule{"JPG", jpegEnd, kPictureLimit},
    FormatEndRule{"JPEG", jpegEnd, kPictureLimit},
    FormatEndRule{"PNG", pngEnd, kPictureLimit},
    FormatEndRule{"GIF", gifEnd, kPictureLimit},
    FormatEndRule{"BMP", bmpEnd, kBitmapLimit},
    FormatEndRule{"WEBP", riffEnd, kPictureLimit},
    FormatEndRule{"HEIC", isoMediaEnd, kPictureLimit},
    FormatEndRule{"HEIF", isoMediaEnd, kPictureLimit},
    FormatEndRule{"AVIF", isoMediaEnd, kPictureLimit},
    FormatEndRule{"CR3", isoMediaEnd, kPictureLimit},
    FormatEndRule{"AVI", riffEnd, kVideoLimit},
    FormatEndRule{"MP4", isoMediaEnd, kVideoLimit},
    FormatEndRule{"MOV", isoMediaEnd, kVideoLimit},
    FormatEndRule{"M4V", isoMediaEnd, kVideoLimit},
    FormatEndRule{"3GP", isoMediaEnd, kVideoLimit},
    FormatEndRule{"3G2", isoMediaEnd, kVideoLimit},
    FormatEndRule{"MKV", matroskaEnd, kVideoLimit},
    FormatEndRule{"WEBM", matroskaEnd, kVideoLimit},
    FormatEndRule{"FLV", flvEnd, kVideoLimit},
    FormatEndRule{"MPG", mpegPsEnd, kVideoLimit},
    FormatEndRule{"MPEG", mpegPsEnd, kVideoLimit},
    FormatEndRule{"VOB", mpegPsEnd, kVideoLimit},
    FormatEndRule{"TS", mpegTsEnd, kVideoLimit},
    FormatEndRule{"MTS", m2tsEnd, kVideoLimit},
    FormatEndRule{"M2TS", m2tsEnd, kVideoLimit},
    FormatEndRule{"OGV", oggEnd, kVideoLimit},
    FormatEndRule{"WAV", riffEnd, kAudioLimit},
    FormatEndRule{"AIF", aiffEnd, kAudioLimit},
    FormatEndRule{"AIFF", aiffEnd, kAudioLimit},
    FormatEndRule{"AIFC", aiffEnd, kAudioLimit},
    FormatEndRule{"M4A", isoMediaEnd, kAudioLimit},
    FormatEndRule{"M4B", isoMediaEnd, kAudioLimit},
    FormatEndRule{"OGG", oggEnd, kAudioLimit},
    FormatEndRule{"OGA", oggEnd, kAudioLimit},
    FormatEndRule{"OPUS", oggEnd, kAudioLimit},
    FormatEndRule{"PDF", pdfEnd, kPdfLimit},
    FormatEndRule{"ZIP", zipEnd, kArchiveLimit},
    FormatEndRule{"DOCX", zipEnd, kOfficeLimit},
    FormatEndRule{"XLSX", zipEnd, kOfficeLimit},
    FormatEndRule{"PPTX", zipEnd, kOfficeLimit},
    FormatEndRule{"ODT", zipEnd, kOfficeLimit},
    FormatEndRule{"ODS", zipEnd, kOfficeLimit},
    FormatEndRule{"ODP", zipEnd, kOfficeLimit},
    FormatEndRule{"EPUB", zipEnd, kOfficeLimit},
    FormatEndRule{"SQLITE", sqliteEnd, kArchiveLimit},
    FormatEndRule{"RAR", rar5End, kArchiveLimit},
    FormatEndRule{"7Z", sevenZipEnd, kArchiveLimit},
    // Office documents, programs, fonts and disk images.
    FormatEndRule{"DOC", compoundFileEnd, kOfficeLimit},
    FormatEndRule{"RTF", rtfEnd, kTextLimit},
    FormatEndRule{"PS", postScriptEnd, kTextLimit},
    FormatEndRule{"EPS", epsEnd, kTextLimit},
    FormatEndRule{"ODG", zipEnd, kOfficeLimit},
    FormatEndRule{"EXE", windowsProgramEnd, kProgramLimit},
    FormatEndRule{"ELF", elfEnd, kProgramLimit},
    FormatEndRule{"PST", outlookStoreEnd, kMailStoreLimit},
    FormatEndRule{"KDBX", keePassEnd, kPasswordSafeLimit},
    FormatEndRule{"TTF", fontEnd, kFontLimit},
    FormatEndRule{"OTF", fontEnd, kFontLimit},
    FormatEndRule{"TTC", fontCollectionEnd, kFontLimit},
    FormatEndRule{"VHD", virtualPcDiskEnd, kDiskImageLimit},
    FormatEndRule{"HTML", htmlEnd, kWebPageLimit},
};

bool sameTypeName(std::string_view a, std::string_view b)
{
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return upper(x) == upper(y); });
}

} // namespace

std::span<const FormatEndRule> formatEndRules() { return kRules; }

const FormatEndRule* formatEndRuleFor(std::string_view type)
{
    auto rule = std::find_if(kRules.begin(), kRules.end(), [&](const FormatEndRule& r) { return sameTypeName(r.type, type); });
    return rule == kRules.end() ? nullptr : &*rule;
}

std::optional<std::uint64_t> formatEndLength(ByteReader& medium, std::string_view type, std::uint64_t firstByte)
{
    const FormatEndRule* rule = formatEndRuleFor(type);
    if (rule == nullptr)
        return std::nullopt;
    FormatEndReader file(medium, firstByte, rule->saveLimitBytes);
    return rule->end(file);
}

} // namespace salvyn
