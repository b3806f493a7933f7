// The numbers the search screens show and check: the sector range a user types and the
// progress of a running search.
#include "scan/progress.h"
#include "scan/rangecheck.h"

#include <gtest/gtest.h>

#include <climits>
#include <tuple>

namespace salvyn {
namespace {

TEST(RangeCheck, OnlyDigitsAreValidSectorText)
{
    EXPECT_TRUE(Check_For_Valid_Sec(""));
    EXPECT_TRUE(Check_For_Valid_Sec("0123456789"));
    for (const char* bad : {" 5", "5a", "+5", "-5", "5 ", "1.5", "\xd9\xa3"})
        EXPECT_FALSE(Check_For_Valid_Sec(bad)) << bad;
}

// Start is checked before end, each in a fixed order; no message means the range is taken.
TEST(RangeCheck, FirstFaultOfTheRangeIsReportedOnItsField)
{
    const std::string badStart = "\nPlease enter valid Start Sector value.", badEnd = "\nPlease enter valid End Sector value.";
    const std::string exceeded = "\nMaximum sector range exceeded", notAfter = "\nEnd Sector should be greater than Start Sector.";
    struct Case { const char *start, *end, *count; std::string message, informative; RangeField focus; };
    const Case cases[] = {
        {"0", "1000", "1000", "", "", RangeField::End},
        {"999", "1000", "1000", "", "", RangeField::End},
        {"0", "1001", "1000", exceeded, badEnd.substr(1), RangeField::End},
        {"1000", "1000", "1000", notAfter, "", RangeField::End},
        {"1000", "999", "1000", notAfter, "", RangeField::End},
        {"", "", "1000", badStart, "", RangeField::Start},
        {"-5", "", "1000", badStart, "", RangeField::Start},
        {"0005", "x", "100", exceeded, badStart.substr(1), RangeField::Start}, // counts characters
        {"1001", "x", "1000", exceeded, badStart.substr(1), RangeField::Start},
        {"10", "", "1000", badEnd, "", RangeField::End},
        {"10", "1e3", "1000", badEnd, "", RangeField::End},
        {"10", "01000", "1000", exceeded, badEnd.substr(1), RangeField::End},
        // Large media compare exactly, where a float compare would round one past the count away.
        {"3000000000", "4000000000", "5000000000", "", "", RangeField::End},
        {"4000000000", "3000000000", "5000000000", notAfter, "", RangeField::End},
        {"0", "16777217", "16777216", exceeded, badEnd.substr(1), RangeField::End},
        {"0", "99999999999999999999", "18446744073709551615", exceeded, badEnd.substr(1), RangeField::End},
        {"0", "18446744073709551615", "18446744073709551615", "", "", RangeField::End},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.start) + ".." + c.end);
        const auto alert = checkSectorRange(c.start, c.end, c.count);
        ASSERT_EQ(alert.has_value(), !c.message.empty());
        if (alert) {
            EXPECT_EQ(std::tie(alert->message, alert->informativeText, alert->focus), std::tie(c.message, c.informative, c.focus));
        }
    }
}

TEST(RangeCheck, SlidersHoldSectorsExactlyWhileTheyFitAndScaleBeyond)
{
    EXPECT_EQ(sliderMaximumFor(1000), 1000);
    EXPECT_EQ(sliderPositionForSector(700, 1000), 700);
    EXPECT_EQ(sectorForSliderPosition(700, 1000), 700u);
    EXPECT_EQ(sliderMaximumFor(0), 0);
    EXPECT_EQ(sectorForSliderPosition(5, 0), 0u);

    const std::uint64_t big = 7814037168ull; // 4 TB
    EXPECT_EQ(sliderMaximumFor(big), INT_MAX);
    EXPECT_EQ(sliderPositionForSector(big, big), INT_MAX);
    EXPECT_EQ(sectorForSliderPosition(INT_MAX, big), big);
    EXPECT_EQ(sectorForSliderPosition(0, big), 0u);
    const std::uint64_t middle = sectorForSliderPosition(INT_MAX / 2, big);
    EXPECT_NEAR(static_cast<double>(middle), big / 2.0, 4.0);
    EXPECT_EQ(sliderPositionForSector(middle, big), INT_MAX / 2);
}

std::optional<ProgressDisplay> tick(std::uint64_t start, std::uint64_t end, std::uint64_t forIndex)
{
    SearchState state;
    state.start_sector = start; state.end_sector = end; state.total_sector = end - start; state.for_index = forIndex;
    return progressTick(state);
}

TEST(Progress, LabelShowsAbsoluteSectorsAndTruncatedPercent)
{
    const std::tuple<std::uint64_t, std::uint64_t, std::uint64_t, const char*> cases[] = {
        {0, 4000, 1000, "1000 of 4000   ( Completed 25% )"}, {0, 1000, 0, "0 of 1000   ( Completed 0% )"},
        {200, 1200, 700, "700 of 1200   ( Completed 50% )"}, {0, 1000, 999, "999 of 1000   ( Completed 99% )"},
        {0, 1000, 1000, "1000 of 1000   ( Completed 100% )"}};
    for (const auto& [start, end, at, label] : cases)
        EXPECT_EQ(tick(start, end, at)->sectorLabel, std::string("Sectors ") + label);
    EXPECT_EQ(std::pair(tick(200, 1200, 700)->bar.maximum, tick(200, 1200, 700)->bar.value), std::pair(1000, 500));
    EXPECT_FALSE(tick(0, 1000, 1001).has_value());
}

TEST(Progress, HugeRangesScaleTheBarAndKeepThePercentExact)
{
    const std::uint64_t end = 18446744073709551615ull;
    EXPECT_EQ(completedPercent(end - 1, 0, end), 99u);
    EXPECT_EQ(completedPercent(end / 2, 0, end), 49u);
    const auto bar = progressBarValues(3000000000ull, 0, 4000000000ull);
    EXPECT_EQ(std::pair(bar.maximum, bar.value), std::pair(1000000, 750000));
    EXPECT_EQ(progressBarValues(5, 0, INT_MAX).maximum, INT_MAX);
}

} // namespace
} // namespace salvyn
