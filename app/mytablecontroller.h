#pragma once
// MyTableController is the application: the one main window of the recovery wizard. It
// owns the lists, the search state and the outlets, and forwards every decision to the
// wizard model; screens, threads, models and desktop services live in their own classes.
// UI thread only, except where a search thread reaches it through the UI-thread hand-over.
#include "app/controllerservices.h"
#include "app/wizardwindow.h"
#include "scan/scanhost.h"
#include "scan/searchrequest.h"
#include "scan/searchstate.h"
#include "wizard/wizardmodel.h"

#include <QByteArray>
#include <QModelIndex>
#include <QWidget>
#include <atomic>
#include <memory>

namespace salvyn {

class CheckListModel;
class DestinationFolder;
class FoundFileList;
class FoundFileListSink;
class MediaList;
class PreviewDisplay;
class PreviewFolder;
class PreviewPresenter;
class PreviewRenderer;
class ResultsTableModel;
class SaveFile_Info;
class SaveFile_Info_For_RAW;
class SaveFoundFiles;
class SearchThreads;
class UiThreadScanHost;
struct ScanContext;

class MyTableController final : public QWidget, public ScanHost {
    Q_OBJECT
public:
    explicit MyTableController(ControllerServices services, QWidget* parent = nullptr);
    ~MyTableController() override;

    // Start-up, in its fixed order; no user action is handled before it returns.
    void awakeFromNib();

    void Next_btn();
    void Back_btn();
    void Photo_Mode_Radio() { setRecoveryMode(RecoveryMode::Photo); }
    void Video_Mode_Radio() { setRecoveryMode(RecoveryMode::Video); }
    void RawFile_Mode_Radio() { setRecoveryMode(RecoveryMode::RawFile); }
    void Audio_Mode_Radio() { setRecoveryMode(RecoveryMode::Audio); }
    void Select_Unselect_Check_btn();
    void clickTable(const QModelIndex& index);
    void stop_usb_disk() { m_state.stop_now = 1; }
    // `_save_found_files` and `_save_found_files_Sig`: saves the files selected in the
    // current browser, or all, into the destination folder, choosing one first if none is.
    void Save_Found_Files();
    // `_open_folder` and `_open_folder_Sig`: the destination folder in the file manager.
    void Open_Folder();
    void Reload_Drive_list_Function();
    // Adds a disk image (or a block device) to the media list by path; answers why it was
    // refused, or "" when it was added.
    QString addDiskImage(const QString& path);
    void Help_btn();
    void About_btn();
    void Exit_Btn() { Exit_App(); }
    // Asks the exit question; on "Yes" cleans up and terminates. True when it terminated.
    bool Exit_App();

    // ScanHost, on the UI thread (the search threads reach it through UiThreadScanHost).
    void passStarted(const std::string& passName, const std::string& caption) override;
    void progressSetUp(std::uint64_t startSector, std::uint64_t endSector) override;
    void deviceOpened() override;
    void deviceOpenFailed(const SectorSourceError& error) override;
    void showReadError(std::uint64_t failedReads) override;
    void stopTicker() override;
    void Final_or_Stop_Screen() override;

    const WizardModel& wizard() const { return m_wizard; }
    int screen_counter() const { return m_wizard.screen_counter(); }
    SearchState& searchState() { return m_state; }
    CheckListModel* nsCheckedListDataObject() const { return m_checkList; }
    MediaList* nsMutaryOfDataObject() const { return m_mediaList; }
    ResultsTableModel* nsSIGFileInfoDataObject() const { return m_resultsTable; }
    FoundFileList* images() const { return m_images; }
    SaveFoundFiles* saveFoundFiles() const { return m_saver; }
    QString preview_file_path() const;
    bool searchRunning() const;
    // Waits (in a local event loop) for the threads of the last search to end.
    bool waitForSearchThreads(int timeoutMs);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildComponents();
    void connectActions();
    void setHelp(const QString& text);
    void setRecoveryMode(RecoveryMode mode);
    RecoveryMode mode() const { return m_wizard.Recovery_MODE(); }
    NextInputs nextInputs() const;
    void refuse(const Refusal& refusal);
    void showCheckList();
    void backToMedia();
    void backToCriteria();
    void backToCheckList();
    void showPreviewView(bool show);
    void resetBrowsers();
    void startSearch(SearchRequest request);
    void removePreviewFiles();
    void saveFoundFilesInto(const QString& folder);

    ControllerServices m_services;
    WizardModel m_wizard;
    WizardWindow m_window;
    std::atomic<bool> m_quitting{false};
    SearchState m_state;
    QByteArray m_nullImageData;
    std::unique_ptr<PreviewFolder> m_previewFolder;
    std::unique_ptr<PreviewRenderer> m_renderer;
    std::unique_ptr<PreviewDisplay> m_display;
    std::unique_ptr<PreviewPresenter> m_presenter;
    MediaList* m_mediaList = nullptr;
    CheckListModel* m_checkList = nullptr;
    ResultsTableModel* m_resultsTable = nullptr;
    FoundFileList* m_images = nullptr;
    DestinationFolder* m_destination = nullptr;
    SaveFoundFiles* m_saver = nullptr;
    SaveFile_Info* m_saveFileInfo = nullptr;
    SaveFile_Info_For_RAW* m_saveFileInfoForRaw = nullptr;
    SearchRequest m_request;
    std::unique_ptr<UiThreadScanHost> m_workerHost;
    std::unique_ptr<FoundFileListSink> m_workerSink;
    std::unique_ptr<ScanContext> m_context;
    SearchThreads* m_threads = nullptr;
};

} // namespace salvyn
