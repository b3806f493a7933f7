#include "scan/rangecheck.h"

#include <algorithm>
#include <climits>

namespace salvyn {

namespace {

constexpr const char* kBadStart = "\nPlease enter valid Start Sector value.";
constexpr const char* kBadEnd = "\nPlease enter valid End Sector value.";
constexpr const char* kExceeded = "\nMaximum sector range exceeded";
constexpr const char* kEndNotAfterStart = "\nEnd Sector should be greater than Start Sector.";

// Numeric order of two texts of decimal digits, exact at any length.
int compareDigits(std::string_view a, std::string_view b)
{
    a.remove_prefix(std::min(a.find_first_not_of('0'), a.size()));
    b.remove_prefix(std::min(b.find_first_not_of('0'), b.size()));
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

// Rows 1-4 for Start and 5-8 for End: digits only, not longer than the count's text, not
// above the count. Past the digit and length checks the texts compare as whole numbers.
std::optional<RangeAlert> checkOneField(std::string_view text, std::string_view sectorCountText, RangeField field)
{
    const char* invalid = field == RangeField::Start ? kBadStart : kBadEnd;
    const std::string informative = std::string(invalid).substr(1);
    if (text.empty() || !Check_For_Valid_Sec(text))
        return RangeAlert{invalid, "", field};
    if (text.size() > sectorCountText.size() || compareDigits(text, sectorCountText) > 0)
        return RangeAlert{kExceeded, informative, field};
    return std::nullopt;
}

} // namespace

bool Check_For_Valid_Sec(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<RangeAlert> checkSectorRange(std::string_view startText, std::string_view endText,
                                           std::string_view sectorCountText)
{
    if (auto alert = checkOneField(startText, sectorCountText, RangeField::Start))
        return alert;
    if (auto alert = checkOneField(endText, sectorCountText, RangeField::End))
        return alert;
    if (compareDigits(endText, startText) <= 0)
        return RangeAlert{kEndNotAfterStart, "", RangeField::End};
    return std::nullopt;
}

int sliderMaximumFor(std::uint64_t sectorCount)
{
    return static_cast<int>(std::min<std::uint64_t>(sectorCount, INT_MAX));
}

int sliderPositionForSector(std::uint64_t sector, std::uint64_t sectorCount)
{
    sector = std::min(sector, sectorCount);
    if (sectorCount <= INT_MAX)
        return static_cast<int>(sector);
    const unsigned __int128 scaled = static_cast<unsigned __int128>(sector) * INT_MAX / sectorCount;
    return static_cast<int>(scaled);
}

std::uint64_t sectorForSliderPosition(int position, std::uint64_t sectorCount)
{
    const std::uint64_t clamped = static_cast<std::uint64_t>(std::clamp(position, 0, INT_MAX));
    if (sectorCount <= INT_MAX)
        return std::min(clamped, sectorCount);
    // Rounded up, so the position of the sector shown is the position the slider was set to.
    const unsigned __int128 scaled = static_cast<unsigned __int128>(clamped) * sectorCount + INT_MAX - 1;
    return static_cast<std::uint64_t>(scaled / INT_MAX);
}

} // namespace salvyn
