#pragma once
// The preview box of the video, raw-file and audio result screen, put together: the private
// preview folder, the renderer, the display with its movie view and the presenter that
// copies a selected file's sectors. UI thread only.
#include "app/controllerservices.h"
#include "results/ui/previewpresenter.h"

#include <memory>

namespace salvyn {

class PreviewDisplay;
class PreviewFolder;
class PreviewRenderer;
struct SearchScreen;

class PreviewBox {
public:
    // A file selected in the screen's browser is previewed unless `busy` says the medium is
    // in use; `mode` answers the current `Recovery_MODE`; the hooks go to the presenter.
    PreviewBox(QWidget* controlPanel, const SearchScreen& screen, const ControllerServices& services,
               SearchState& state, PreviewPresenter::Hooks hooks, std::function<int()> mode,
               std::function<bool()> busy);
    ~PreviewBox();

    PreviewPresenter& presenter() { return *m_presenter; }
    // Shows or hides the mode's view, empty: the movie view in the video and audio modes,
    // the image view in the raw-file mode.
    void showView(bool show);

private:
    const SearchScreen& m_screen;
    std::function<int()> m_mode;
    std::unique_ptr<PreviewFolder> m_folder;
    std::unique_ptr<PreviewRenderer> m_renderer;
    std::unique_ptr<PreviewDisplay> m_display;
    std::unique_ptr<PreviewPresenter> m_presenter;
};

} // namespace salvyn
