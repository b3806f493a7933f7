#include "cli/consolehost.h"

#include "scan/progress.h"

#include <cerrno>
#include <cstdio>

namespace salvyn {

namespace {

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

std::string openFailureText(const SectorSourceError& error)
{
    if (error.errorNumber == EACCES || error.errorNumber == EPERM)
        return error.message + " \u2014 run as root or as a member of the disk group";
    return error.message;
}

ConsoleHost::ConsoleHost(Console& console, const SearchState& state) : m_console(console), m_state(state) {}

ConsoleHost::~ConsoleHost()
{
    stopTicker();
}

void ConsoleHost::startTicker()
{
    if (!m_console.showsProgress())
        return;
    m_ticker = std::thread([this] {
        std::unique_lock lock(m_lock);
        while (!m_wake.wait_for(lock, std::chrono::milliseconds(500), [this] { return m_stopping; }))
            tick();
    });
}

void ConsoleHost::passStarted(const std::string& passName, const std::string& caption)
{
    (void)passName;
    m_console.line(caption);
}

void ConsoleHost::progressSetUp(std::uint64_t startSector, std::uint64_t endSector)
{
    (void)endSector;
    std::lock_guard lock(m_lock);
    m_passStart = std::chrono::steady_clock::now();
    m_passFirstSector = startSector;
}

void ConsoleHost::deviceOpenFailed(const SectorSourceError& error)
{
    m_openFailed = true;
    m_console.errorLine("salvyn-scan: " + openFailureText(error));
}

void ConsoleHost::showReadError(std::uint64_t failedReads)
{
    m_readsFailed = true;
    m_console.errorLine("Error in storage media reading: " + std::to_string(failedReads)
                        + (failedReads == 1 ? " sector" : " sectors") + " could not be read (written as zeros).");
}

void ConsoleHost::stopTicker()
{
    {
        std::lock_guard lock(m_lock);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_ticker.joinable() && m_ticker.get_id() != std::this_thread::get_id())
        m_ticker.join();
}

// Runs on the ticker thread with m_lock held.
void ConsoleHost::tick()
{
    const std::uint64_t forIndex = m_state.for_index;
    const std::uint64_t start = m_state.start_sector;
    const std::uint64_t end = m_state.end_sector;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_passStart).count();
    const std::uint64_t done = forIndex > m_passFirstSector ? forIndex - m_passFirstSector : 0;
    const double sectorsPerSecond = seconds > 0 ? static_cast<double>(done) / seconds : 0;
    char text[160];
    std::snprintf(text, sizeof text, "%3llu%%  sectors %llu of %llu  %.1f MB/s  %s left",
                  static_cast<unsigned long long>(completedPercent(forIndex, start, m_state.total_sector)),
                  static_cast<unsigned long long>(forIndex), static_cast<unsigned long long>(end),
                  sectorsPerSecond * 512 / 1e6,
                  sectorsPerSecond > 0 && end > forIndex
                      ? durationText(static_cast<double>(end - forIndex) / sectorsPerSecond).c_str()
                      : "--:--");
    m_console.progress(text);
}

} // namespace salvyn
