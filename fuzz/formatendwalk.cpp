#include "formatendwalk.h"

#include "fuzzcheck.h"
#include "results/formatendreader.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace salvyn::fuzz {

namespace {

constexpr std::array<FormatEndFunction, 5> kArchives = {zipEnd, rarEnd, sevenZipEnd, cabinetEnd, tarEnd};
constexpr std::array<FormatEndFunction, 4> kCompressed = {gzipEnd, bzip2End, xzEnd, zstdEnd};
constexpr std::array<FormatEndFunction, 4> kContainers = {riffEnd, aiffEnd, isoMediaEnd, matroskaEnd};
constexpr std::array<FormatEndFunction, 2> kDocuments = {pdfEnd, sqliteEnd};
constexpr std::array<FormatEndFunction, 4> kImages = {jpegEnd, pngEnd, gifEnd, bmpEnd};
constexpr std::array<FormatEndFunction, 5> kStreams = {flvEnd, oggEnd, mpegPsEnd, mpegTsEnd, m2tsEnd};
constexpr std::array<FormatEndFunction, 10> kSounds = {mp3End, aacEnd, flacEnd, midiEnd, amrEnd,
                                                       auEnd, cafEnd, apeEnd, wavPackEnd, asfEnd};

constexpr std::array<FormatEndFunction, 1> kTiff = {tiffEnd};
constexpr std::array<FormatEndFunction, 8> kPictures = {photoshopEnd, jp2End, j2kEnd, jxlEnd, rafEnd, crwEnd, x3fEnd, mrwEnd};

constexpr std::array<FormatEndFunction, 4> kVideo = {realMediaEnd, mxfEnd, swfEnd, mpegVideoEnd};

constexpr std::array<FormatEndFunction, 4> kOffice = {compoundFileEnd, rtfEnd, postScriptEnd, epsEnd};
constexpr std::array<FormatEndFunction, 8> kPrograms = {windowsProgramEnd, elfEnd,           outlookStoreEnd, keePassEnd,
                                                        fontEnd,           fontCollectionEnd, virtualPcDiskEnd, htmlEnd};

constexpr std::array<FormatEndFamily, 12> kFamilies = {{
    {"formatendarchives", kArchives},
    {"formatendaudio", kSounds},
    {"formatendcompressed", kCompressed},
    {"formatendcontainers", kContainers},
    {"formatenddocuments", kDocuments},
    {"formatendimages", kImages},
    {"formatendoffice", kOffice},
    {"formatendprograms", kPrograms},
    {"formatendstreams", kStreams},
    {"formatendtiff", kTiff},
    {"formatendpictures", kPictures},
    {"formatendvideo", kVideo},
}};

// Every walk may read its window a few times over; a walk that keeps reading the same
// bytes again grows with the square of the medium and is caught here.
constexpr std::uint64_t kReadsPerMediumByte = 8;
constexpr std::uint64_t kReadAllowanceBytes = 1024 * 1024;


} // namespace

std::size_t FuzzMedium::readAt(std::uint64_t byteOffset, std::uint8_t* out, std::size_t size)
{
    m_furthestAsked = std::max(m_furthestAsked, byteOffset + size);
    m_bytesAsked += size;
    if (byteOffset >= m_size)
        return 0;
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size, m_size - byteOffset));
    std::memcpy(out, m_data + byteOffset, n);
    return n;
}

std::span<const FormatEndFamily> formatEndFamilies() { return kFamilies; }

const FormatEndFamily& formatEndFamily(std::string_view name)
{
    auto family = std::find_if(kFamilies.begin(), kFamilies.end(), [&](const FormatEndFamily& f) { return f.name == name; });
    require(family != kFamilies.end(), "the format-end family exists");
    return *family;
}

void walkFormatEnds(std::span<const FormatEndFunction> ends, const std::uint8_t* data, std::size_t size)
{
    // A scan's limit usually lies past a short medium; one inside the data shows that
    // a walk stops at the limit whatever the size fields say.
    const std::uint64_t limits[] = {size + 4096, size - size / 4};
    for (FormatEndFunction end : ends) {
        for (std::uint64_t limit : limits) {
            FuzzMedium medium(data, size);
            FormatEndReader file(medium, 0, limit);
            const auto length = end(file);
            require(medium.furthestAsked() <= limit, "nothing at or past the limit is read");
            require(medium.bytesAsked() <= kReadsPerMediumByte * size + kReadAllowanceBytes,
                    "a walk reads the medium a bounded number of times");
            if (length) {
                require(*length > 0, "a length is never zero");
                require(*length <= limit, "a length stays inside the limit");
                require(*length <= size, "a length stays inside the medium");
            }
        }
    }
}

} // namespace salvyn::fuzz
