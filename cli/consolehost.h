#pragma once
// The search front end of salvyn-scan: pass captions, errors and a progress ticker on the
// console. The ticker runs on a thread of its own from start() until stopTicker().
#include "cli/console.h"
#include "scan/passspeed.h"
#include "scan/scanhost.h"
#include "scan/searchstate.h"

#include <condition_variable>
#include <thread>

namespace salvyn {

class ConsoleHost : public ScanHost {
public:
    ConsoleHost(Console& console, const SearchState& state);
    ~ConsoleHost() override;

    void startTicker();

    void passStarted(const std::string& passName, const std::string& caption) override;
    void progressSetUp(std::uint64_t startSector, std::uint64_t endSector) override;
    void deviceOpened() override {}
    void deviceOpenFailed(const SectorSourceError& error) override;
    void showReadError(std::uint64_t failedReads) override;
    void stopTicker() override;
    void Final_or_Stop_Screen() override {}

    bool openFailed() const { return m_openFailed; }
    bool readsFailed() const { return m_readsFailed; }

private:
    void tick();

    Console& m_console;
    const SearchState& m_state;
    std::thread m_ticker;
    std::mutex m_lock;
    std::condition_variable m_wake;
    bool m_stopping = false;
    PassSpeed m_speed;
    bool m_openFailed = false;
    bool m_readsFailed = false;
};

// "cannot open /dev/sdb1: Permission denied — run as root or as a member of the disk group"
std::string openFailureText(const SectorSourceError& error);

} // namespace salvyn
