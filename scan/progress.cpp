#include "scan/progress.h"

#include <algorithm>
#include <climits>
#include <cstdio>

namespace salvyn {

namespace {
constexpr std::uint64_t kScaledBarMaximum = 1000000;
}

std::string passCaption(const std::string& passName)
{
    if (passName == "GEN")
        return "( Currently performing Search based on: Korvia General Recovery Procedure )";
    return "( Currently performing Search based on: Korvia Thorough Scanning Alogrithm )";
}

std::uint64_t completedPercent(std::uint64_t forIndex, std::uint64_t startSector, std::uint64_t totalSectors)
{
    if (totalSectors == 0 || forIndex < startSector)
        return 0;
    const unsigned __int128 done = forIndex - startSector;
    return static_cast<std::uint64_t>(done * 100 / totalSectors);
}

std::string sectorLabelText(std::uint64_t forIndex, std::uint64_t endSector, std::uint64_t percent)
{
    char text[128];
    std::snprintf(text, sizeof text, "Sectors %llu of %llu   ( Completed %llu%% )",
                  static_cast<unsigned long long>(forIndex), static_cast<unsigned long long>(endSector),
                  static_cast<unsigned long long>(percent));
    return text;
}

ProgressBarValues progressBarValues(std::uint64_t forIndex, std::uint64_t startSector, std::uint64_t totalSectors)
{
    if (totalSectors == 0)
        return {1, 0};
    const std::uint64_t done = forIndex < startSector ? 0 : std::min(forIndex - startSector, totalSectors);
    if (totalSectors <= INT_MAX)
        return {static_cast<int>(totalSectors), static_cast<int>(done)};
    const unsigned __int128 scaled = static_cast<unsigned __int128>(done) * kScaledBarMaximum / totalSectors;
    return {static_cast<int>(kScaledBarMaximum), static_cast<int>(scaled)};
}

std::optional<ProgressDisplay> progressTick(const SearchState& state)
{
    const std::uint64_t forIndex = state.for_index.load();
    const std::uint64_t endSector = state.end_sector.load();
    if (forIndex > endSector)
        return std::nullopt;
    const std::uint64_t startSector = state.start_sector.load();
    const std::uint64_t total = state.total_sector.load();
    return ProgressDisplay{sectorLabelText(forIndex, endSector, completedPercent(forIndex, startSector, total)),
                           progressBarValues(forIndex, startSector, total), {}};
}

} // namespace salvyn
