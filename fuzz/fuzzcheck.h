#pragma once
// What every harness asserts about a parser's answer. A broken promise aborts, which
// libFuzzer and the replay driver both report as a failed input.
#include <cstdio>
#include <cstdlib>

namespace salvyn::fuzz {

inline void require(bool holds, const char* promise)
{
    if (holds)
        return;
    std::fprintf(stderr, "broken promise: %s\n", promise);
    std::abort();
}

} // namespace salvyn::fuzz
