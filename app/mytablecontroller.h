#pragma once
// MyTableController is the application: the one main window of the recovery wizard. It
// owns the lists, the outlets and the search, and carries out what the wizard model
// decides; screens, threads, models and desktop services live in their own classes.
// UI thread only, except where a search thread reaches it through the UI-thread hand-over.
#include "app/controllerservices.h"
#include "app/wizardsearch.h"
#include "app/wizardwindow.h"
#include "media/qt/medialist.h"
#include "results/savejob.h"
#include "scan/scanhost.h"
#include "wizard/wizardmodel.h"

#include <QModelIndex>
#include <QWidget>
#include <atomic>
#include <memory>

class QDialog;

namespace salvyn {

class CheckListModel;
class DestinationFolder;
class FoundFileDetailsJob;
class VideoThumbnails;
class FoundFileList;
class PressedScreen;
class PreviewBox;
class ResultsTableModel;
class SaveFoundFiles;

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
    void stop_usb_disk() { m_search.state().stop_now = 1; }
    // Saves the files selected in the current browser, or all, into the destination
    // folder, choosing one first if there is none yet.
    void Save_Found_Files();
    // The destination folder in the file manager.
    void Open_Folder();
    void Reload_Drive_list_Function();
    // Adds a disk image (or a block device) to the media list by path; answers why it was
    // refused, or nothing when it was added. chooseDiskImage() asks for the path first.
    std::optional<MediaList::Refusal> addDiskImage(const QString& path);
    void chooseDiskImage();
    void Help_btn();
    void About_btn();
    void Exit_Btn() { Exit_App(); }
    // Asks the exit question; on "Yes" cleans up and terminates. True when it terminated.
    bool Exit_App();

    // ScanHost, on the UI thread (the search threads reach it through the UI-thread hand-over).
    void passStarted(const std::string& passName, const std::string& caption) override;
    void progressSetUp(std::uint64_t start, std::uint64_t end) override { m_window.showProgressFrom(start, end); }
    void deviceOpened() override { m_window.showSearchRunning(mode()); }
    void deviceOpenFailed(const SectorSourceError& error) override;
    void showReadError(std::uint64_t failedReads) override;
    void stopTicker() override { m_search.stopTicker(); }
    void Final_or_Stop_Screen() override;

    int screen_counter() const { return m_wizard.screen_counter(); }
    SearchState& searchState() { return m_search.state(); }
    CheckListModel* nsCheckedListDataObject() const { return m_checkList; }
    MediaList* nsMutaryOfDataObject() const { return m_mediaList; }
    ResultsTableModel* nsSIGFileInfoDataObject() const { return m_resultsTable; }
    FoundFileList* images() const { return m_images; }
    SaveFoundFiles* saveFoundFiles() const { return m_saver; }
    QString preview_file_path() const;
    bool searchRunning() const { return m_search.isRunning(); }
    // Waits (in a local event loop) for the threads of the last search to end.
    bool waitForSearchThreads(int timeoutMs) { return m_search.waitUntilFinished(timeoutMs); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void setHelp(const QString& text);
    void setRecoveryMode(RecoveryMode mode);
    RecoveryMode mode() const { return m_wizard.Recovery_MODE(); }
    void showLayout();
    void showCheckList();
    void resetForNextSearch();
    void removePreviewFiles();
    void saveFoundFilesInto(const QString& folder);
    std::vector<FileToSave> foundFiles() const;
    void chooseFolderThenSave();

    ControllerServices m_services;
    WizardModel m_wizard;
    WizardWindow m_window;
    std::atomic<bool> m_quitting{false};
    CheckListModel* m_checkList;
    ResultsTableModel* m_resultsTable;
    MediaList* m_mediaList;
    FoundFileList* m_images;
    DestinationFolder* m_destination = nullptr;
    SaveFoundFiles* m_saver = nullptr;
    FoundFileDetailsJob* m_details = nullptr;
    VideoThumbnails* m_pictures = nullptr;
    QDialog* m_saveFileInfo = nullptr;
    QDialog* m_saveFileInfoForRaw = nullptr;
    std::unique_ptr<PreviewBox> m_preview;
    PressedScreen* m_pressedScreen = nullptr;
    WizardSearch m_search; // last: its threads end before what they work with goes
};

} // namespace salvyn
