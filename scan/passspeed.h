#pragma once
// Speed and time left of the running pass, from the positions a progress ticker samples:
// sectors per second averaged over the last few seconds. A position behind the last one
// means a new pass has begun over the range, and the average starts again. Any thread.
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace salvyn {

class PassSpeed {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    explicit PassSpeed(Clock now = [] { return std::chrono::steady_clock::now(); },
                       std::chrono::steady_clock::duration window = std::chrono::seconds(5));

    // Records that the pass has reached `sector` now.
    void sample(std::uint64_t sector);

    // Sectors per second over the window, once two samples span some time.
    std::optional<double> sectorsPerSecond() const;

    // "20480 sectors/s   10.5 MB/s   1:23 left" for a pass ending at `endSector`; dashes
    // stand for what is not known yet, and for the time left of a pass that does not move.
    std::string text(std::uint64_t endSector) const;

private:
    struct Sample {
        std::chrono::steady_clock::time_point time;
        std::uint64_t sector;
    };

    Clock m_now;
    std::chrono::steady_clock::duration m_window;
    mutable std::mutex m_lock;
    std::deque<Sample> m_samples;
};

} // namespace salvyn
