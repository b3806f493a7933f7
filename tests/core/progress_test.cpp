#include "scan/progress.h"

#include <gtest/gtest.h>

#include <climits>

namespace salvyn {
namespace {

std::optional<ProgressDisplay> tick(std::uint64_t start, std::uint64_t end, std::uint64_t forIndex)
{
    SearchState state;
    state.start_sector = start;
    state.end_sector = end;
    state.total_sector = end > start ? end - start : 0;
    state.for_index = forIndex;
    return progressTick(state);
}

TEST(Progress, LabelShowsAbsoluteSectorsAndTruncatedPercent)
{
    EXPECT_EQ(tick(0, 4000, 1000)->sectorLabel, "Sectors 1000 of 4000   ( Completed 25% )");
    EXPECT_EQ(tick(0, 1000, 0)->sectorLabel, "Sectors 0 of 1000   ( Completed 0% )");
    const auto middle = tick(200, 1200, 700);
    EXPECT_EQ(middle->sectorLabel, "Sectors 700 of 1200   ( Completed 50% )");
    EXPECT_EQ(middle->bar.maximum, 1000);
    EXPECT_EQ(middle->bar.value, 500);
    EXPECT_EQ(tick(0, 1000, 999)->sectorLabel, "Sectors 999 of 1000   ( Completed 99% )");
    EXPECT_EQ(tick(0, 1000, 1000)->sectorLabel, "Sectors 1000 of 1000   ( Completed 100% )");
    EXPECT_FALSE(tick(0, 1000, 1001).has_value());
}

TEST(Progress, EmptyRangeAndStaleCountersShowZero)
{
    const auto empty = tick(0, 0, 0);
    EXPECT_EQ(empty->sectorLabel, "Sectors 0 of 0   ( Completed 0% )");
    EXPECT_EQ(empty->bar.maximum, 1);
    EXPECT_EQ(empty->bar.value, 0);
    // for_index still holds the previous search's position below the new start.
    const auto stale = tick(5000, 9000, 12);
    EXPECT_EQ(stale->sectorLabel, "Sectors 12 of 9000   ( Completed 0% )");
    EXPECT_EQ(stale->bar.value, 0);
}

TEST(Progress, HugeRangesScaleTheBarAndKeepThePercentExact)
{
    const std::uint64_t end = 18446744073709551615ull;
    EXPECT_EQ(completedPercent(end - 1, 0, end), 99u);
    EXPECT_EQ(completedPercent(end / 2, 0, end), 49u);
    const auto bar = progressBarValues(3000000000ull, 0, 4000000000ull);
    EXPECT_EQ(bar.maximum, 1000000);
    EXPECT_EQ(bar.value, 750000);
    EXPECT_EQ(progressBarValues(5, 0, INT_MAX).maximum, INT_MAX);
}

TEST(Progress, CaptionsOfThePasses)
{
    EXPECT_EQ(passCaption("GEN"), "( Currently performing Search based on: Korvia General Recovery Procedure )");
    EXPECT_EQ(passCaption("THD"), "( Currently performing Search based on: Korvia Thorough Scanning Alogrithm )");
}

} // namespace
} // namespace salvyn
