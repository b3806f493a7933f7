// Format ends of documents and databases: PDF and SQLite.
#include "results/formatends.h"

#include <cctype>

namespace salvyn {

namespace {

constexpr std::uint64_t kSectorBytes = 512;
// How far before %%EOF the startxref keyword may stand.
constexpr std::uint64_t kTrailerLookBack = 1024;

bool isPdfSpace(std::uint8_t c) { return c == ' ' || c == '\r' || c == '\n' || c == '\t' || c == '\f' || c == 0; }

// True when `offset` holds a cross-reference table ("xref") or stream ("12 0 obj").
bool isCrossReference(FormatEndReader& file, std::uint64_t offset)
{
    if (file.matches(offset, "xref"))
        return true;
    std::uint64_t at = offset;
    for (int number = 0; number < 2; ++number) {
        const std::uint64_t digitsStart = at;
        while (file.byteAt(at) && std::isdigit(*file.byteAt(at)))
            ++at;
        if (at == digitsStart || at - digitsStart > 10)
            return false;
        const std::uint64_t spacesStart = at;
        while (file.byteAt(at) && isPdfSpace(*file.byteAt(at)))
            ++at;
        if (at == spacesStart)
            return false;
    }
    return file.matches(at, "obj");
}

// True when the %%EOF at `eofAt` closes a trailer whose startxref points back into
// this file, so a remnant of another PDF in what follows is not taken for our end.
bool closesOwnTrailer(FormatEndReader& file, std::uint64_t eofAt)
{
    const std::uint64_t from = eofAt > kTrailerLookBack ? eofAt - kTrailerLookBack : 0;
    std::optional<std::uint64_t> keyword, candidate = file.find(from, "startxref");
    while (candidate && *candidate < eofAt) {
        keyword = candidate;
        candidate = file.find(*candidate + 1, "startxref");
    }
    if (!keyword)
        return false;
    std::uint64_t at = *keyword + 9;
    while (at < eofAt && file.byteAt(at) && isPdfSpace(*file.byteAt(at)))
        ++at;
    std::uint64_t target = 0;
    int digits = 0;
    for (; at < eofAt && file.byteAt(at) && std::isdigit(*file.byteAt(at)) && digits < 19; ++at, ++digits)
        target = target * 10 + (*file.byteAt(at) - '0');
    return digits > 0 && target < *keyword && isCrossReference(file, target);
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
        while (file.byteAt(after) && isPdfSpace(*file.byteAt(after)))
            ++after;
        if (!isCrossReference(file, after))
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
