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
// A photo is not a gigabyte: panoramas reach a few hundred megabytes at most.
constexpr std::uint64_t kPictureLimit = 256 * kMiB;
constexpr std::uint64_t kBitmapLimit = 4 * kGiB;
// Found by scanning forward, so kept lower: a PDF without a good end is read this far.
constexpr std::uint64_t kPdfLimit = 512 * kMiB;
constexpr std::uint64_t kOfficeLimit = 1 * kGiB;
constexpr std::uint64_t kArchiveLimit = 64 * kGiB;
// A classic TIFF cannot pass 4 GiB, a PSD 2 GiB; the largest raw of a medium-format camera
// stays below 512 MiB. Raws found by reading forward for their end are kept lower.
constexpr std::uint64_t kTiffLimit = 4 * kGiB;
constexpr std::uint64_t kRawLimit = 512 * kMiB;
constexpr std::uint64_t kScannedRawLimit = 128 * kMiB;
constexpr std::uint64_t kPhotoshopLimit = 2 * kGiB;
constexpr std::uint64_t kLargePhotoshopLimit = 16 * kGiB;
constexpr std::uint64_t kFirstSectorBytes = 512;
// A header matched by chance (its structure fails at once) is kept, since the search listed
// it, but only as much of it as a header and its first data: not megabytes of what follows.
constexpr std::uint64_t kUnrecognisedStartCap = 64 * 1024;
// Hours of compressed sound; frame walks stop at their last frame well before.
constexpr std::uint64_t kCompressedAudioLimit = 1 * kGiB;
constexpr std::uint64_t kMidiLimit = 64 * kMiB;
// A Flash file states its length in 32 bits.
constexpr std::uint64_t kFlashLimit = 4 * kGiB;
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
    // TIFF, camera raws and other pictures.
    FormatEndRule{"TIF", tiffEnd, kTiffLimit},
    FormatEndRule{"NEF", tiffEnd, kRawLimit},
    FormatEndRule{"CR2", tiffEnd, kRawLimit},
    FormatEndRule{"DNG", tiffEnd, kRawLimit},
    FormatEndRule{"ORF", tiffEnd, kRawLimit},
    FormatEndRule{"RW2", tiffEnd, kRawLimit},
    FormatEndRule{"RAF", rafEnd, kRawLimit},
    FormatEndRule{"MRW", mrwEnd, kRawLimit},
    FormatEndRule{"CRW", crwEnd, kScannedRawLimit},
    FormatEndRule{"X3F", x3fEnd, kScannedRawLimit},
    FormatEndRule{"PSD", photoshopEnd, kPhotoshopLimit},
    FormatEndRule{"PSB", photoshopEnd, kLargePhotoshopLimit},
    FormatEndRule{"JP2", jp2End, kPictureLimit},
    FormatEndRule{"J2K", j2kEnd, kPictureLimit},
    FormatEndRule{"JXL", jxlEnd, kPictureLimit},
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
    // Sound files, and ASF.
    FormatEndRule{"MP3", mp3End, kCompressedAudioLimit},
    FormatEndRule{"AAC", aacEnd, kCompressedAudioLimit},
    FormatEndRule{"AMR", amrEnd, kCompressedAudioLimit},
    FormatEndRule{"FLAC", flacEnd, kAudioLimit},
    FormatEndRule{"APE", apeEnd, kAudioLimit},
    FormatEndRule{"WV", wavPackEnd, kAudioLimit},
    FormatEndRule{"AU", auEnd, kAudioLimit},
    FormatEndRule{"CAF", cafEnd, kAudioLimit},
    FormatEndRule{"MID", midiEnd, kMidiLimit},
    FormatEndRule{"WMA", asfEnd, kAudioLimit},
    FormatEndRule{"WMV", asfEnd, kVideoLimit},
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
    FormatEndRule{"RAR", rarEnd, kArchiveLimit},
    FormatEndRule{"7Z", sevenZipEnd, kArchiveLimit},
    // Archives, compressed streams and the video formats beyond the common containers.
    FormatEndRule{"CAB", cabinetEnd, kArchiveLimit},
    FormatEndRule{"TAR", tarEnd, kArchiveLimit},
    FormatEndRule{"GZ", gzipEnd, kArchiveLimit},
    FormatEndRule{"BZ2", bzip2End, kArchiveLimit},
    FormatEndRule{"XZ", xzEnd, kArchiveLimit},
    FormatEndRule{"ZST", zstdEnd, kArchiveLimit},
    FormatEndRule{"RM", realMediaEnd, kVideoLimit},
    FormatEndRule{"MXF", mxfEnd, kVideoLimit},
    FormatEndRule{"SWF", swfEnd, kFlashLimit},
    FormatEndRule{"M2V", mpegVideoEnd, kVideoLimit},
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

struct TypeWithoutEnd {
    std::string_view type;
    std::string_view reason;
};

constexpr std::array kTypesWithoutEnd = {
    TypeWithoutEnd{"MDB", "an Access database states no page count in its header"},
    TypeWithoutEnd{"ACCDB", "an Access database states no page count in its header"},
    TypeWithoutEnd{"QCOW2", "the header states no file size; only a walk of every refcount block would tell"},
    TypeWithoutEnd{"VHDX", "the header states no file size; only a walk of the block table would tell"},
    TypeWithoutEnd{"VMDK", "a sparse extent states its capacity, not its size; a descriptor is text without an end"},
    TypeWithoutEnd{"XML", "a document may end after its root element with any comments or blanks"},
};

bool sameTypeName(std::string_view a, std::string_view b)
{
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return upper(x) == upper(y); });
}

} // namespace

std::span<const FormatEndRule> formatEndRules() { return kRules; }

std::string_view whyNoFormatEnd(std::string_view type)
{
    auto entry = std::find_if(kTypesWithoutEnd.begin(), kTypesWithoutEnd.end(),
                              [&](const TypeWithoutEnd& t) { return sameTypeName(t.type, type); });
    return entry == kTypesWithoutEnd.end() ? std::string_view() : entry->reason;
}

const FormatEndRule* formatEndRuleFor(std::string_view type)
{
    auto rule = std::find_if(kRules.begin(), kRules.end(), [&](const FormatEndRule& r) { return sameTypeName(r.type, type); });
    return rule == kRules.end() ? nullptr : &*rule;
}

FormatEndFinding findFormatEnd(ByteReader& medium, std::string_view type, std::uint64_t firstByte,
                               std::uint64_t walkEndByte, std::uint64_t scanEndByte)
{
    const FormatEndRule* rule = formatEndRuleFor(type);
    if (rule == nullptr)
        return {};
    const auto within = [&](std::uint64_t end) { return end > firstByte ? end - firstByte : 0; };
    FormatEndReader file(medium, firstByte, std::min(rule->saveLimitBytes, within(walkEndByte)), within(scanEndByte));
    FormatEndFinding finding;
    finding.length = rule->end(file);
    finding.recognisedStart = finding.length.has_value() || file.tookForRealStart();
    return finding;
}

std::uint64_t fallbackCapBytes(std::string_view type, bool recognisedStart)
{
    if (!recognisedStart)
        return kUnrecognisedStartCap;
    const FormatEndRule* rule = formatEndRuleFor(type);
    return rule == nullptr ? UINT64_MAX : rule->saveLimitBytes;
}

std::optional<std::uint64_t> formatEndLength(ByteReader& medium, std::string_view type, std::uint64_t firstByte)
{
    return findFormatEnd(medium, type, firstByte).length;
}

} // namespace salvyn
