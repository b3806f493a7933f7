#pragma once
// State of a search shared by the UI thread, the search worker and the progress ticker.
// Every field is read and written whole; the preview hand-off pair sits under one small lock.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <unordered_set>

namespace salvyn {

class SearchState {
public:
    std::atomic<int> stop_now{0};                   // 1 = the running pass ends at its next sector
    std::atomic<int> stop_screen_already_show{0};   // 1 = this search's final screen is taken
    std::atomic<std::uint64_t> start_sector{0};
    std::atomic<std::uint64_t> end_sector{0};
    std::atomic<std::uint64_t> total_sector{0};
    std::atomic<std::uint64_t> for_index{0};        // next sector the pass will read
    std::atomic<std::uint64_t> GND_Image_number{0}; // photos of general passes since start-up
    std::atomic<std::uint64_t> THD_Image_number{0}; // photos of thorough passes since start-up

    // True for the first caller of a search only: whoever gets true shows the final screen.
    bool claimFinalScreen() { return stop_screen_already_show.exchange(1) == 0; }

    // Preview side: a preview copy of a found file is running.
    void beginPreview();
    // Preview side, after its sheet has ended: true when the worker handed the final screen
    // over meanwhile, which the preview then shows.
    bool endPreviewAndTakeHandoff();
    // Worker side, at the end of a search: true when a preview is running, which then takes
    // over the final screen (stop_now is set so the copy ends at its next sector); false when
    // the worker shows it itself.
    bool handOffToPreview();

    // Each file listed once per search: while a search run is on, the first sectors of the
    // files its general pass reported are kept, and its thorough pass does not report a
    // file starting at one of them again. Search worker only; passes run on their own
    // (outside a search run) list everything they find.
    void beginListingOnce();
    void endListingOnce();
    void rememberGeneralFind(std::uint64_t firstSector);
    bool listedByGeneralPass(std::uint64_t firstSector) const;

private:
    std::mutex m_previewLock;
    bool m_previewActive = false;
    bool m_handoff = false;
    std::optional<std::unordered_set<std::uint64_t>> m_generalFinds;
};

} // namespace salvyn
