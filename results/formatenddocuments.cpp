// Format ends of documents and databases: PDF and SQLite.
#include "results/formatends.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <utility>
#include <vector>

namespace salvyn {

namespace {

constexpr std::uint64_t kSectorBytes = 512;
// How far before %%EOF the startxref keyword may stand.
constexpr std::size_t kTrailerLookBack = 1024;
// Object numbers have at most ten digits; writers put one blank between the parts of
// "12 0 obj" and a line break or two between an end and the update that follows it.
constexpr std::uint64_t kMaxObjectNumberDigits = 10;
constexpr std::uint64_t kMaxBlanks = 64;
// Each revision of a document adds a trailer pointing at its own cross-reference.
constexpr std::size_t kMaxCrossReferenceTargets = 64;

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

// The "startxref" keywords of one file, found by a single forward search: each %%EOF
// asks for the last one shortly before it, and no byte is searched twice, so a stretch
// full of %%EOF costs no more than any other.
class StartXrefSearch {
public:
    std::optional<std::uint64_t> lastBefore(FormatEndReader& file, std::uint64_t eofAt)
    {
        const std::uint64_t lookBackStart = eofAt > kTrailerLookBack ? eofAt - kTrailerLookBack : 0;
        const std::uint64_t from = std::max(m_searchedTo, lookBackStart);
        // The keyword cannot run on into "%%EOF", so searching up to eofAt misses none.
        if (from < eofAt) {
            char bytes[kTrailerLookBack];
            const auto count = static_cast<std::size_t>(eofAt - from);
            if (!file.read(from, bytes, count))
                return std::nullopt;
            const std::size_t found = std::string_view(bytes, count).rfind("startxref");
            if (found != std::string_view::npos)
                m_last = from + found;
            m_searchedTo = eofAt;
        }
        if (m_last && *m_last >= lookBackStart)
            return m_last;
        return std::nullopt;
    }

private:
    std::uint64_t m_searchedTo = 0;
    std::optional<std::uint64_t> m_last;
};

// What the cross-references that trailers point at turned out to be. Each is looked up
// once, and a file whose trailers point at more places than any revised document has is
// not walked on: every look-up far behind the scan costs a window read there and back.
class CrossReferenceLookups {
public:
    enum class Verdict { CrossReference, Other, TooMany };

    Verdict at(FormatEndReader& file, std::uint64_t target)
    {
        for (const auto& [known, isOne] : m_seen)
            if (known == target)
                return isOne ? Verdict::CrossReference : Verdict::Other;
        if (m_seen.size() == kMaxCrossReferenceTargets)
            return Verdict::TooMany;
        const bool isOne = isCrossReference(file, target);
        m_seen.emplace_back(target, isOne);
        return isOne ? Verdict::CrossReference : Verdict::Other;
    }

private:
    std::vector<std::pair<std::uint64_t, bool>> m_seen;
};

// Whether the %%EOF at `eofAt` closes a trailer whose startxref points back into this
// file, so a remnant of another PDF in what follows is not taken for our end.
CrossReferenceLookups::Verdict trailerBefore(FormatEndReader& file, std::uint64_t eofAt, StartXrefSearch& keywords,
                                             CrossReferenceLookups& lookups)
{
    const auto keyword = keywords.lastBefore(file, eofAt);
    if (!keyword)
        return CrossReferenceLookups::Verdict::Other;
    std::uint64_t at = *keyword + 9;
    const std::uint64_t blanksStart = at;
    while (at < eofAt && at - blanksStart <= kMaxBlanks && file.byteAt(at) && isPdfSpace(*file.byteAt(at)))
        ++at;
    std::uint64_t target = 0;
    int digits = 0;
    for (; at < eofAt && file.byteAt(at) && std::isdigit(*file.byteAt(at)) && digits < 19; ++at, ++digits)
        target = target * 10 + (*file.byteAt(at) - '0');
    if (digits == 0 || target >= *keyword)
        return CrossReferenceLookups::Verdict::Other;
    return lookups.at(file, target);
}

} // namespace

std::optional<std::uint64_t> pdfEnd(FormatEndReader& file)
{
    if (!file.matches(0, "%PDF-"))
        return std::nullopt;
    std::optional<std::uint64_t> end;
    std::uint64_t offset = 5;
    StartXrefSearch keywords;
    CrossReferenceLookups lookups;
    // Incremental updates add trailers, so the last good %%EOF wins; another PDF's
    // header at a sector start means the search has left a file with no good end.
    while (auto percent = file.find(offset, "%")) {
        offset = *percent + 1;
        if (*percent % kSectorBytes == 0 && file.matches(*percent, "%PDF-"))
            break;
        if (!file.matches(*percent, "%%EOF"))
            continue;
        const auto trailer = trailerBefore(file, *percent, keywords, lookups);
        if (trailer == CrossReferenceLookups::Verdict::TooMany)
            break;
        if (trailer != CrossReferenceLookups::Verdict::CrossReference)
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
