#pragma once
// What the search screen shows of a running pass: caption, sector label and progress bar.
// Pure functions of the shared counters; any thread.
#include "scan/searchstate.h"

#include <cstdint>
#include <optional>
#include <string>

namespace salvyn {

// The pass caption: general for "GEN", thorough for any other pass name.
std::string passCaption(const std::string& passName);

// Per cent of the range read, truncated; 0 for an empty range or a position before the start.
std::uint64_t completedPercent(std::uint64_t forIndex, std::uint64_t startSector, std::uint64_t totalSectors);

// "Sectors <for_index> of <end_sector>   ( Completed <P>% )", absolute sector numbers.
std::string sectorLabelText(std::uint64_t forIndex, std::uint64_t endSector, std::uint64_t percent);

// A progress bar takes ints: exact while the total fits, otherwise scaled to 0..1000000.
// An empty range gives 0 of 1 (a 0..0 bar would show as busy).
struct ProgressBarValues {
    int maximum = 1;
    int value = 0;
};
ProgressBarValues progressBarValues(std::uint64_t forIndex, std::uint64_t startSector, std::uint64_t totalSectors);

struct ProgressDisplay {
    std::string sectorLabel;
    ProgressBarValues bar;
    std::string speed; // under the bar; empty until the pass has been timed
};

// One tick of the progress ticker: what to show now, or nothing (the display stays) when
// for_index is past end_sector.
std::optional<ProgressDisplay> progressTick(const SearchState& state);

} // namespace salvyn
