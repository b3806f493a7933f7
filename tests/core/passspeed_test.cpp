#include "scan/passspeed.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace salvyn {
namespace {

using namespace std::chrono_literals;

TEST(PassSpeed, AveragesTheLastSecondsAndStartsAgainWithANewPass)
{
    // (seconds since start, sector reached) samples of one pass ending at sector 1,000,000,
    // then the text the pass shows.
    struct Case {
        std::vector<std::pair<double, std::uint64_t>> samples;
        const char* text;
    };
    const Case cases[] = {
        {{}, "-- sectors/s   -- MB/s   --:-- left"},
        {{{0, 0}}, "-- sectors/s   -- MB/s   --:-- left"},
        {{{0, 0}, {0.5, 10000}}, "20000 sectors/s   10.2 MB/s   0:49 left"},
        // Slow start, then 1000 sectors/s: only the last five seconds count.
        {{{0, 0}, {1, 100}, {2, 200}, {3, 1200}, {4, 2200}, {5, 3200}, {6, 4200}, {7, 5200}},
         "1000 sectors/s   0.5 MB/s   16:34 left"},
        {{{0, 0}, {3600, 1000}}, "0 sectors/s   0.0 MB/s   999:00:00 left"},
        {{{0, 500}, {1, 500}}, "0 sectors/s   0.0 MB/s   --:-- left"},
        {{{0, 990000}, {1, 1000000}}, "10000 sectors/s   5.1 MB/s   0:00 left"},
        // The thorough pass starts over at the range's start: the general pass's samples go.
        {{{0, 0}, {10, 1000000}, {11, 0}, {12, 4000}}, "4000 sectors/s   2.0 MB/s   4:09 left"},
    };
    for (const Case& c : cases) {
        std::chrono::steady_clock::time_point now{};
        PassSpeed speed([&] { return now; });
        for (const auto& [seconds, sector] : c.samples) {
            now = std::chrono::steady_clock::time_point{} + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                                                std::chrono::duration<double>(seconds));
            speed.sample(sector);
        }
        EXPECT_EQ(speed.text(1000000), c.text) << c.samples.size() << " samples";
    }
}

} // namespace
} // namespace salvyn
