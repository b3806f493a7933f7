#include "cli/consolehost.h"

#include "scan/progress.h"

#include <cerrno>
#include <cstdio>

namespace salvyn {

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
    m_speed.sample(startSector);
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
    const std::uint64_t end = m_state.end_sector;
    m_speed.sample(forIndex);
    char text[96];
    std::snprintf(text, sizeof text, "%3llu%%  sectors %llu of %llu  ",
                  static_cast<unsigned long long>(completedPercent(forIndex, m_state.start_sector, m_state.total_sector)),
                  static_cast<unsigned long long>(forIndex), static_cast<unsigned long long>(end));
    m_console.progress(text + m_speed.text(end));
}

} // namespace salvyn
