#pragma once
// A thumbnail browser over the found-file list: icons in a grid that wraps with the
// window, no dragging and no reordering. The photo browser (`imageBrowser`) shows the
// photos' thumbnails and has a zoom; the other browser (`imageBrowser_2`) shows the types'
// icons, and selecting a file in it asks for that file's preview. UI thread only.
#include "results/resultorder.h"
#include "results/ui/foundfilelist.h"

#include <QListView>

#include <cstdint>
#include <optional>
#include <vector>

class QScrollBar;

namespace salvyn {

class FoundFileOrder;

class ImageBrowserView : public QListView {
    Q_OBJECT
public:
    // Zoom values on the browsers' scale from 0 to 1, as set at start-up and by Back.
    static constexpr double zoomSliderDefault = 0.5;
    static constexpr double photoBrowserZoom = 0.55;
    static constexpr double rawFileBrowserZoom = 0.05;
    // `Prev_Index` when no item has been handed to the preview.
    static constexpr std::uint32_t noPrevIndex = 0x7FFFFFFF;

    // `kind` decides which finds' scroll cadence this browser follows and whether a
    // selection asks for a preview (RawFile only).
    explicit ImageBrowserView(FoundFileList::Kind kind, QWidget* parent = nullptr);

    void setFoundFileList(FoundFileList* images);
    // The order and size filter of the files shown; the list's rows keep theirs.
    void setOrder(std::optional<ResultSort> sort, bool hideSmallFiles);
    // The view's index of the list's `row`; invalid while the filter hides it.
    QModelIndex indexOfRow(int row) const;
    // The list's rows selected here.
    std::vector<std::size_t> selectedRows() const;
    // The list's rows the browser shows, which its size filter may leave out some of.
    std::vector<std::size_t> shownRows() const;

    // Zoom 0..1 (clamped) sets the icon side to 16 + zoom * 240 pixels; the other modes'
    // browser draws its pictures at least 96 pixels large.
    void setZoomValue(double zoom);
    double zoomValue() const { return m_zoom; }
    static int iconSideForZoom(double zoom);

    // The item last handed to the preview; a search of the other modes resets it.
    std::uint32_t Prev_Index() const { return m_prevIndex; }
    void resetPrev_Index() { m_prevIndex = noPrevIndex; }

    // A scroller step: page up/left -0.2, page down/right +0.2, arrow up/left -0.05,
    // arrow down/right +0.05 of the whole scroll range; other actions change nothing.
    // Connected to both scroll bars' actionTriggered.
    static void scrollerAction(QScrollBar& scroller, int action);

signals:
    // A new item was selected in the browser of the other modes: show its preview. The
    // receiver runs on the UI thread before the selection handling returns.
    void previewRequested(const salvyn::MyImageObject& record);

private:
    void imageBrowserSelectionDidChange();
    void scrollToEndIfMine(FoundFileList::Kind kind, int row);

    FoundFileList::Kind m_kind;
    FoundFileList* m_images = nullptr;
    FoundFileOrder* m_order = nullptr;
    double m_zoom = 0.0;
    std::uint32_t m_prevIndex = noPrevIndex;
};

} // namespace salvyn
