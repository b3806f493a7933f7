#pragma once
// MyTableController is the application: the one main window of the recovery wizard. It
// owns the signature lists, the working lists of a search, the check list, the wizard
// step and the search state, builds the screens, and drives the search threads. It is a
// façade: screens, threads, models and desktop services live in their own classes.
// UI thread only, except where a search thread reaches it through the UI-thread hand-over.
#include "app/checklistscreen.h"
#include "app/mediascreen.h"
#include "app/searchscreen.h"
#include "media/qt/diskinfoprovider.h"
#include "media/qt/volumelister.h"
#include "scan/progress.h"
#include "scan/scanhost.h"
#include "scan/searchrequest.h"
#include "scan/searchstate.h"
#include "signatures/signaturelist.h"

#include <QByteArray>
#include <QModelIndex>
#include <QString>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>

class QDialog;
class QLabel;
class QPushButton;

namespace salvyn {

class AboutWindow;
class MediaList;
class MyDataObject;
class AlertService;
class CheckListModel;
class CriteriaScreen;
class DestinationFolder;
class DocumentOpener;
class FolderChooser;
class FoundFileList;
class FoundFileListSink;
class Help_Support;
class IconProvider;
class ModalWindowRunner;
class MoviePlayer;
class PreviewDisplay;
class PreviewFolder;
class PreviewPresenter;
class PreviewRenderer;
class ResultsTableModel;
class SaveFile_Info;
class SaveFoundFiles;
class SaveFile_Info_For_RAW;
class SearchThreads;
class SectorSourceOpener;
struct ScanContext;
class UiThreadScanHost;

// What the controller is given rather than reaching for it itself, so every desktop
// service can be replaced (by fakes in the tests).
struct ControllerServices {
    AlertService* alerts = nullptr;
    DocumentOpener* documents = nullptr;
    IconProvider* icons = nullptr;
    SectorSourceOpener* opener = nullptr;
    FolderChooser* folderChooser = nullptr;
    ModalWindowRunner* modalRunner = nullptr;
    // Puts the movie player of the preview box into `movieView` (which owns it).
    std::function<MoviePlayer*(QWidget* movieView)> moviePlayerIn;
    std::unique_ptr<VolumeLister> volumeLister;
    std::unique_ptr<DiskInfoProvider> diskInfoProvider;
    QString resourceFolder; // signature lists, NoPreview.png, Help.pdf
    QString previewFolder;  // private folder of the preview files ("dprv", "dprv.X")
    // Ends the application; `threadsStillRunning` when a search thread would not stop.
    std::function<void(bool threadsStillRunning)> terminate;
};

class MyTableController final : public QWidget, public ScanHost {
    Q_OBJECT
public:
    explicit MyTableController(ControllerServices services, QWidget* parent = nullptr);
    ~MyTableController() override;

    // Start-up, in its fixed order; no user action is handled before it returns.
    void awakeFromNib();

    void Next_btn();
    void Back_btn();
    void show_hide_1_screen(bool hide);
    void show_hide_2_screen(bool hide);
    void show_hide_3_screen_Photo(bool hide);
    void show_hide_3_screen_RawFile(bool hide);
    void show_hide_4_screen_RawFile(bool hide);
    void Photo_Mode_Radio();
    void Video_Mode_Radio();
    void RawFile_Mode_Radio();
    void Audio_Mode_Radio();
    void Select_Unselect_Check_btn();
    void clickTable(const QModelIndex& index);
    void stop_usb_disk();
    // The result screens' `_save_found_files` and `_save_found_files_Sig`: saves the files
    // selected in the current browser, or all found files when none is selected, into the
    // destination folder; with no folder chosen yet, the folder chooser comes first.
    void Save_Found_Files();
    // `_open_folder` and `_open_folder_Sig`: the destination folder in the file manager.
    void Open_Folder();
    SaveFoundFiles* saveFoundFiles() const { return m_saver; }
    void Reload_Drive_list_Function();
    // Adds a disk image (or a block device) to the media list by path; answers why it was
    // refused, or "" when it was added.
    QString addDiskImage(const QString& path);
    void Help_btn();
    void About_btn();
    void Exit_Btn();
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

    int screen_counter() const { return m_screenCounter; }
    int recoveryMode() const { return Recovery_MODE.load(); }
    SearchState& searchState() { return m_state; }
    const SignatureLists& signatureLists() const { return m_lists; }
    const SignatureList& CheckListHeader_Array() const { return m_checkListHeader; }
    const SignatureList& CheckListHeader_Adv_Array() const { return m_checkListHeaderAdv; }
    CheckListModel* nsCheckedListDataObject() const { return m_checkList; }
    MediaList* nsMutaryOfDataObject() const { return m_mediaList; }
    ResultsTableModel* nsSIGFileInfoDataObject() const { return m_resultsTable; }
    FoundFileList* images() const { return m_images; }
    const QByteArray& Null_Image_Data() const { return m_nullImageData; }
    QString preview_file_path() const;
    bool searchRunning() const;
    // Waits (in a local event loop) for the threads of the last search to end.
    bool waitForSearchThreads(int timeoutMs);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWindow();
    void buildComponents();
    void buildPreview();
    void chooseDiskImage();
    QWidget* buildButtonRow();
    void connectActions();
    void setHelp(const QString& text);
    void setRecoveryMode(int mode);
    CriteriaScreen* criteriaOfMode() const;
    void nextFromMedia();
    void nextFromCriteria();
    void nextFromCheckList();
    void backToMedia();
    void backToCriteria();
    void backToCheckList();
    void enterCheckList();
    const SignatureList& generalListOfMode() const;
    const SignatureList& thoroughListOfMode() const;
    void resetBrowsers();
    SearchRequest snapshotRequest() const;
    void startSearch();
    void tickProgress();
    void showProgress(const ProgressDisplay& display);
    void removePreviewFiles();
    void setNextBackEnabled(bool enabled);
    QString destinationPath() const;
    void saveFoundFilesInto(const QString& folder);

    ControllerServices m_services;
    std::atomic<int> Recovery_MODE{0};
    std::atomic<bool> m_quitting{false};
    int m_screenCounter = 0;
    SearchState m_state;
    SignatureLists m_lists;
    SignatureList m_checkListHeader;    // CheckListHeader_Array
    SignatureList m_checkListHeaderAdv; // CheckListHeader_Adv_Array
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
    QLabel* m_helpInfo = nullptr;
    QLabel* m_searchType = nullptr;
    QLabel* m_diskIdentifier = nullptr; // _disk_identifier, shared by both criteria sets
    QLabel* m_sectorsVal = nullptr;     // _sectors_val, shared by both criteria sets
    QPushButton* m_next = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_exit = nullptr;
    QPushButton* m_help = nullptr;
    QPushButton* m_about = nullptr;
    MediaScreen m_media;
    CriteriaScreen* m_criteria = nullptr;    // photo set
    CriteriaScreen* m_criteriaSig = nullptr; // set of the other modes
    CheckListScreen m_checkListScreen;
    SearchScreen m_search;

    SearchRequest m_request;
    std::unique_ptr<UiThreadScanHost> m_workerHost;
    std::unique_ptr<FoundFileListSink> m_workerSink;
    std::unique_ptr<ScanContext> m_context;
    SearchThreads* m_threads = nullptr;
};

} // namespace salvyn
