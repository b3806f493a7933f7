#pragma once
// What a search pass asks of its front end. Called on the search worker thread: a desktop
// front end carries each call over to its UI thread and returns when it is done there.
#include "platform/sectorsourceopener.h"

#include <cstdint>
#include <string>

namespace salvyn {

inline constexpr const char* kStorageReadErrorMessage = "\nError in storage media reading.";

class ScanHost {
public:
    virtual ~ScanHost() = default;

    // A pass begins. `caption` is the pass caption to show. For the general pass ("GEN") the
    // found files of the previous search go: photo mode resets the thumbnail browser, the
    // other modes empty the found-file list and forget the previewed item.
    virtual void passStarted(const std::string& passName, const std::string& caption) = 0;

    // The pass's range is known: progress bar 0..total, sector label at the start.
    virtual void progressSetUp(std::uint64_t startSector, std::uint64_t endSector) = 0;

    // The medium is open and the sectors are about to be read: disable the controls that
    // must not change during a search and show the stop help text.
    virtual void deviceOpened() = 0;

    // The medium could not be opened: the search is abandoned before any final screen (the
    // ticker is already stopped); go back one screen and say so.
    virtual void deviceOpenFailed(const SectorSourceError& error) = 0;

    // Sectors could not be read in this pass: show "\nError in storage media reading."
    // (called at most once per pass).
    virtual void showReadError(std::uint64_t failedReads) = 0;

    // End the progress ticker (the last tick shows the values at this moment).
    virtual void stopTicker() = 0;

    // The end-of-search screen. Reached at most once per search, only through
    // SearchState::claimFinalScreen().
    virtual void Final_or_Stop_Screen() = 0;
};

} // namespace salvyn
