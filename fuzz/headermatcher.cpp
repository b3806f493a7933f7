// The header matcher's tables against the plain walk of every record in list order:
// for any list and any sector both must name the same record. The input is a sector
// (its first 512 bytes, zero-filled when shorter) and then the list's entries, one a line.
#include "fuzzcheck.h"
#include "platform/sectorstream.h"
#include "scan/headermatcher.h"

#include <algorithm>
#include <array>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using salvyn::HeaderMatcher;
    std::array<std::uint8_t, salvyn::kSectorSize> sector{};
    const std::size_t sectorBytes = std::min(size, sector.size());
    std::copy_n(data, sectorBytes, sector.begin());

    salvyn::SignatureList list;
    std::string_view entries(reinterpret_cast<const char*>(data) + sectorBytes, size - sectorBytes);
    while (!entries.empty()) {
        const std::size_t end = std::min(entries.find('\n'), entries.size());
        list.emplace_back(entries.substr(0, end));
        entries.remove_prefix(std::min(end + 1, entries.size()));
    }
    // The list reader keeps whole records only.
    list.resize(list.size() - list.size() % salvyn::kSignatureRecordSize);

    const HeaderMatcher matcher(list);
    std::size_t firstInListOrder = HeaderMatcher::kNoMatch;
    for (std::size_t index = 0; index < matcher.recordCount(); ++index) {
        if (salvyn::headerMatches(matcher.record(index), sector.data())) {
            firstInListOrder = index;
            break;
        }
    }
    salvyn::fuzz::require(matcher.firstMatch(sector.data()) == firstInListOrder,
                          "the matcher names the first record whose header walk matches");
    return 0;
}
