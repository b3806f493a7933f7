#pragma once
// State of a search shared by the UI thread, the search worker and the progress ticker.
// Every field is read and written whole; the preview hand-off pair sits under one small lock.
#include <atomic>
#include <cstdint>
#include <mutex>

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

private:
    std::mutex m_previewLock;
    bool m_previewActive = false;
    bool m_handoff = false;
};

} // namespace salvyn
