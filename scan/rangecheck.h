#pragma once
// The sector-range checks run when Next leaves the search-criteria screen with "Sector Range"
// chosen, and the mapping between sector numbers and slider positions. Pure functions.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace salvyn {

// True when every character is one of the ten digits; an empty text passes.
bool Check_For_Valid_Sec(std::string_view text);

enum class RangeField { Start, End };

struct RangeAlert {
    std::string message;
    std::string informativeText;
    RangeField focus;
};

// The first failing check for the Start and End texts against the sector count text, or
// nothing when the range is good (it then reads sectors start to end - 1).
std::optional<RangeAlert> checkSectorRange(std::string_view startText, std::string_view endText,
                                           std::string_view sectorCountText);

// Sliders hold ints: positions are sectors while the count fits, otherwise 0..INT_MAX is
// spread evenly over 0..count.
int sliderMaximumFor(std::uint64_t sectorCount);
int sliderPositionForSector(std::uint64_t sector, std::uint64_t sectorCount);
std::uint64_t sectorForSliderPosition(int position, std::uint64_t sectorCount);

} // namespace salvyn
