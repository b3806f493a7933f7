#pragma once
// Previews of found video, audio and other files for the result screen: a selection in the
// browser clears the box, copies the file's sectors on a worker behind the please-wait
// sheet and shows the copy. In the modes that show movies, a file whose own structure ends
// beyond its found range is not copied but played whole, straight from the medium; the
// worker measures it and opens its devices. A file selected while one is worked on follows
// it. The controller owns it and supplies the medium, the search state and its final
// screen. UI thread only.
#include "results/previewextraction.h"
#include "results/ui/clearpreview_modeless.h"
#include "results/ui/movieplayer.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class QThread;

namespace salvyn {

class PreviewDisplay;

class PreviewPresenter final : public PreviewHost {
public:
    struct Hooks {
        std::function<QString()> mediumIdentifier; // `_disk_identifier`: device name or image path
        std::function<void()> Final_or_Stop_Screen;
    };

    // Everything passed in must outlive the presenter; `controlPanel` carries the sheet.
    PreviewPresenter(QWidget* controlPanel, SectorSourceOpener& opener, SearchState& state,
                     const PreviewFolder& folder, PreviewDisplay& display, Hooks hooks);
    ~PreviewPresenter() override; // a copy still running is waited for (stop_now ends it early)

    // A found file was selected: clear the image view, close the movie, then copy and show
    // the file's sectors `File_Start_Sector` .. `File_End_Sector` (end excluded).
    void previewFoundFile(const QString& path, std::uint64_t File_Start_Sector, std::uint64_t File_End_Sector);

    // The current preview file, "" before the first one. Any thread.
    QString preview_file_path() const;

    ClearPreview_Modeless& ClearPreview_Window() { return m_sheet; }
    bool isCopying() const { return m_worker != nullptr; }

private:
    void copied(const std::string& name);
    // Worker: the devices of a movie to play whole, or none when the found range is all
    // there is (or the medium cannot be opened).
    std::optional<MovieDevices> openWholeFile(const std::string& medium, const FoundFileRange& file);

    void beginSheet() override;
    void QuickLook_Preview_Thread(const std::string& name, PreviewWayOut way) override;
    void endSheet() override;
    void Final_or_Stop_Screen() override;

    SectorSourceOpener& m_opener;
    SearchState& m_state;
    ClearPreview_Modeless m_sheet;
    PreviewDisplay& m_display;
    Hooks m_hooks;
    PreviewExtraction m_extraction;
    QThread* m_worker = nullptr;
    PreviewWayOut m_way = PreviewWayOut::Finished; // the worker's, read once it has ended
    std::optional<MovieDevices> m_wholeFile;       // the same
    std::optional<FoundFileRange> m_next;         // selected while a copy ran
};

} // namespace salvyn
