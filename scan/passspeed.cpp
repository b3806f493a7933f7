#include "scan/passspeed.h"

#include <cstdio>

namespace salvyn {

namespace {

// "1:23" or "1:02:03".
std::string durationText(double seconds)
{
    const auto whole = static_cast<unsigned long long>(seconds);
    char text[32];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%llu:%02llu:%02llu", whole / 3600, whole / 60 % 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%llu:%02llu", whole / 60, whole % 60);
    return text;
}

} // namespace

PassSpeed::PassSpeed(Clock now, std::chrono::steady_clock::duration window)
    : m_now(std::move(now)), m_window(window)
{
}

void PassSpeed::sample(std::uint64_t sector)
{
    const auto now = m_now();
    std::lock_guard lock(m_lock);
    if (!m_samples.empty() && sector < m_samples.back().sector)
        m_samples.clear();
    m_samples.push_back({now, sector});
    // Keep one sample at or before the window's start, so the average always spans the window.
    while (m_samples.size() > 2 && now - m_samples[1].time >= m_window)
        m_samples.pop_front();
}

std::optional<double> PassSpeed::sectorsPerSecond() const
{
    std::lock_guard lock(m_lock);
    if (m_samples.size() < 2)
        return std::nullopt;
    const double seconds = std::chrono::duration<double>(m_samples.back().time - m_samples.front().time).count();
    if (seconds <= 0)
        return std::nullopt;
    return static_cast<double>(m_samples.back().sector - m_samples.front().sector) / seconds;
}

std::string PassSpeed::text(std::uint64_t endSector) const
{
    const std::optional<double> speed = sectorsPerSecond();
    std::uint64_t reached = 0;
    {
        std::lock_guard lock(m_lock);
        if (!m_samples.empty())
            reached = m_samples.back().sector;
    }
    if (!speed)
        return "-- sectors/s   -- MB/s   --:-- left";
    const std::string left = *speed > 0 && endSector > reached
                                 ? durationText(static_cast<double>(endSector - reached) / *speed)
                                 : (endSector > reached ? "--:--" : "0:00");
    char text[96];
    std::snprintf(text, sizeof text, "%.0f sectors/s   %.1f MB/s   %s left", *speed, *speed * 512 / 1e6,
                  left.c_str());
    return text;
}

} // namespace salvyn
