// Format ends of documents and databases: PDF and SQLite.
#include "results/formatends.h"

#include <cctype>
#include <string_view>

namespace salvyn {

namespace {

constexpr std::uint64_t kSectorBytes = 512;
// How far before %%EOF the startxref keyword may stand.
constexpr std::size_t kTrailerLookBack = 1024;
// Object numbers have at most ten digits; writers put one blank between the parts of
// "12 0 obj" and a line break or two between an end and the update that follows it.
constexpr std::uint64_t kMaxObjectNumberDigits = 10;
constexpr std::uint64_t kMaxBlanks = 64;

bool isPdfSpace(std::uint8_t c) { return c == ' ' || c == '\r' || c == '\n' || c == '\t' || c == '\f' || c == 0; }

// True when `offset` holds a cross-reference table ("xref") or stream ("12 0 obj").
// Runs of digits and blanks are cut short where no writer makes them that long, so a
// stretch of digits or zeros costs the same at every %%EOF that points at it.
bool isCrossReference(FormatEndReader& file, std::uint64_t offset)
{
    if (file.matches(offset, "xref"))
        return true;
    std::uint64_t at = offset;
    for (int number = 0; number < 2; ++number) {
        const std::uint64_t digitsStart = at;
        while (at - digitsStart <= kMaxObjectNumberDigits && file.byteAt(at) && std::isdigit(*file.byteAt(at)))
            ++at;
        if (at == digitsStart || at - digitsStart > kMaxObjectNumberDigits)
            return false;
        const std::uint64_t spacesStart = at;
        while (at - spacesStart <= kMaxBlanks && file.byteAt(at) && isPdfSpace(*file.byteAt(at)))
            ++at;
        if (at == spacesStart || at - spacesStart > kMaxBlanks)
            return false;
    }
    return file.matches(at, "obj");
}

// True when the %%EOF at `eofAt` closes a trailer whose startxref points back into
// this file, so a remnant of another PDF in what follows is not taken for our end.
bool closesOwnTrailer(FormatEndReader& file, std::uint64_t eofAt)
{
    // Only the stretch before %%EOF is searched: a search running on from there would
    // read on through whatever follows the file, up to the limit, at every %%EOF.
    const std::uint64_t from = eofAt > kTrailerLookBack ? eofAt - kTrailerLookBack : 0;
    char trailerBytes[kTrailerLookBack];
    const auto stretchBytes = static_cast<std::size_t>(eofAt - from);
    if (!file.read(from, trailerBytes, stretchBytes))
        return false;
    const std::string_view trailer(trailerBytes, stretchBytes);
    const std::size_t keyword = trailer.rfind("startxref");
    if (keyword == std::string_view::npos)
        return false;
    std::size_t at = keyword + 9;
    while (at < trailer.size() && isPdfSpace(static_cast<std::uint8_t>(trailer[at])))
        ++at;
    std::uint64_t target = 0;
    int digits = 0;
    for (; at < trailer.size() && std::isdigit(static_cast<unsigned char>(trailer[at])) && digits < 19; ++at, ++digits)
        target = target * 10 + static_cast<std::uint64_t>(trailer[at] - '0');
    return digits > 0 && target < from + keyword && isCrossReference(file, target);
}

} // namespace

std::optional<std::uint64_t> pdfEnd(FormatEndReader& file)
{
    if (!file.matches(0, "%PDF-"))
        return std::nullopt;
    std::optional<std::uint64_t> end;
    std::uint64_t offset = 5;
    // Incremental updates add trailers, so the last good %%EOF wins; another PDF's
    // header at a sector start means the search has left a file with no good end.
    while (auto percent = file.find(offset, "%")) {
        offset = *percent + 1;
        if (*percent % kSectorBytes == 0 && file.matches(*percent, "%PDF-"))
            break;
        if (!file.matches(*percent, "%%EOF") || !closesOwnTrailer(file, *percent))
            continue;
        std::uint64_t after = *percent + 5;
        if (file.byteAt(after) == '\r')
            ++after;
        if (file.byteAt(after) == '\n')
            ++after;
        end = after;
        // An incremental update starts right after the end it extends; anything else
        // after a good end is no longer this file.
        // Free space after the file is often all zeros, which count as blanks: the
        // search for an update stops after a few of them rather than at the limit.
        const std::uint64_t blanksStart = after;
        while (after - blanksStart <= kMaxBlanks && file.byteAt(after) && isPdfSpace(*file.byteAt(after)))
            ++after;
        if (after - blanksStart > kMaxBlanks || !isCrossReference(file, after))
            break;
        offset = after;
    }
    return end ? file.endIfReadable(*end) : std::nullopt;
}

std::optional<std::uint64_t> sqliteEnd(FormatEndReader& file)
{
    auto pageSizeField = file.be16(16);
    auto changeCounter = file.be32(24);
    auto pageCount = file.be32(28);
    auto validFor = file.be32(92);
    if (!file.matches(0, std::string_view("SQLite format 3\0", 16)) || !pageSizeField || !pageCount || !validFor
        || !changeCounter)
        return std::nullopt;
    const std::uint64_t pageSize = *pageSizeField == 1 ? 65536 : *pageSizeField;
    // The payload fractions are fixed; the page count is only kept up to date by
    // writers that also copy the change counter into "version valid for".
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0 || file.byteAt(21) != 64 || file.byteAt(22) != 32
        || file.byteAt(23) != 32 || *pageCount == 0 || *validFor != *changeCounter)
        return std::nullopt;
    return file.endIfReadable(pageSize * *pageCount);
}

} // namespace salvyn
