#pragma once
// Copies a found file's sectors from the medium into the preview file and has it shown.
// begin() and end() run on the UI thread, around copy() on a worker, behind a please-wait
// sheet; the search worker may still run and, when its search ends meanwhile, hands its
// final screen over to the preview (SearchState). Reads the medium through a stream of its
// own, read-only.
#include "platform/sectorsourceopener.h"
#include "results/previewfolder.h"

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

namespace salvyn {

class SearchState;

// How an extraction ended.
enum class PreviewWayOut {
    MediumNotOpened, // nothing copied; the previous preview file is untouched and not to be shown
    FileNotCreated,  // no preview file could be made or written whole; the path names nothing
    Stopped,         // a stop request ended the copy: the preview file is partial
    Finished,        // all sectors copied, or the copy ended early at a failed start seek
};

// A found file as the browser hands it over: its name with its type, and its sectors,
// first included, end excluded.
struct FoundFileRange {
    std::string name;
    std::uint64_t File_Start_Sector = 0;
    std::uint64_t File_End_Sector = 0;
};

// The window around an extraction, called from begin() and end() in this order: beginSheet,
// then on the way out QuickLook_Preview_Thread, endSheet, and possibly Final_or_Stop_Screen.
class PreviewHost {
public:
    virtual ~PreviewHost() = default;
    // Puts up the please-wait sheet and draws it once; does not wait for the user.
    virtual void beginSheet() = 0;
    // Shows the preview of the found file `name`: the file at preview_file_path(), except
    // when the medium was not opened, then only the name and its type's icon.
    virtual void QuickLook_Preview_Thread(const std::string& name, PreviewWayOut way) = 0;
    virtual void endSheet() = 0;
    // The end-of-search screen, called only when the search worker handed it over.
    virtual void Final_or_Stop_Screen() = 0;
};

class PreviewExtraction {
public:
    // All four must outlive the extraction.
    PreviewExtraction(SectorSourceOpener& opener, SearchState& state, const PreviewFolder& folder, PreviewHost& host);

    // Copies the sectors of `file` from the medium `mediumIdentifier` (device name or image
    // path) into the preview file "dprv.<type>" in the preview folder, never when that folder
    // lies on the medium's disk. An unreadable sector
    // becomes 512 zero bytes and the copy stays in step, so the file always holds whole
    // sectors at their own places. `stop_now` ends the copy early. begin(), copy() and end()
    // in one go, for a caller that may wait.
    PreviewWayOut CreateFile_QuickLook_Preview(const std::string& mediumIdentifier, const FoundFileRange& file);

    // The same in its three steps. UI thread: the sheet goes up and the search learns of the preview.
    void begin();
    // Any one thread at a time, between begin() and end(): opens the medium and copies.
    PreviewWayOut copy(const std::string& mediumIdentifier, const FoundFileRange& file);
    // UI thread: shows the outcome, takes the sheet down and shows a final screen handed over.
    void end(PreviewWayOut way, const std::string& name);

    // The current preview file, "" before the first extraction that opened its medium. Any thread.
    std::string preview_file_path() const;

private:
    enum class CopyEnd { Stopped, Finished, WriteFailed };

    void setPreview_file_path(std::string path);
    PreviewWayOut copyIntoPreviewFile(const std::string& mediumPath, SectorStream& medium, const FoundFileRange& file);
    CopyEnd copyFileSectors(SectorStream& medium, std::FILE* preview, const FoundFileRange& file);

    SectorSourceOpener& m_opener;
    SearchState& m_state;
    const PreviewFolder& m_folder;
    PreviewHost& m_host;

    mutable std::mutex m_pathLock;
    std::string m_previewFilePath;
    std::string m_previewFileName; // its name inside the preview folder
};

} // namespace salvyn
