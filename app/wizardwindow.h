#pragma once
// The widgets of the wizard window: the help line, the search-type caption, the screens
// and the button row, and how a screen layout decided by the wizard model is shown on
// them. Holds no state of its own beyond the widgets. UI thread only.
#include "app/checklistscreen.h"
#include "app/mediascreen.h"
#include "app/searchscreen.h"
#include "wizard/wizardmodel.h"

class QLabel;
class QPushButton;
class QWidget;

namespace salvyn {

class CheckListModel;
class CriteriaScreen;
class DestinationFolder;
class FoundFileList;
class MediaList;
class MyTableController;
class ResultsTableModel;
struct ProgressDisplay;

struct WizardWindow {
    // Builds every control as a child of `panel` on the given models, with only the media
    // screen showing.
    void build(QWidget* panel, CheckListModel* checkList, ResultsTableModel* results, FoundFileList* found);
    // Every button, radio and table of the window to the action that handles it.
    void connectTo(MyTableController& controller, MediaList& media, DestinationFolder& destination) const;

    CriteriaScreen* criteriaOf(RecoveryMode mode) const;
    void show_hide_1_screen(bool hide);
    void show_hide_3_screen_Photo(bool hide);
    void show_hide_3_screen_RawFile(bool hide);
    void show_hide_4_screen_RawFile(bool hide);
    // Every group of `layout.screen` shows and every other one hides.
    void showLayout(const ScreenLayout& layout, RecoveryMode mode);
    void setModeRadios(RecoveryMode mode);
    void showHelp(const QString& text);
    // The rows selected in the browser of `mode`.
    std::vector<std::size_t> selectedFoundFiles(RecoveryMode mode) const;
    // The chosen medium's texts on the mode's criteria screen, or "<None>" everywhere.
    void showMedium(RecoveryMode mode, const MyDataObject& medium);
    void forgetMedium();
    // What the controls hold when Next is pressed (on `pressedOn`).
    NextInputs nextInputs(RecoveryMode mode, const MediaList& mediaList, const CheckListModel& checkList,
                          std::optional<Screen> pressedOn) const;
    // The keyboard focus for a refusal of Next.
    void focus(FocusTarget target, RecoveryMode mode) const;
    void showProgress(const ProgressDisplay& display);
    // The progress of a pass over sectors `startSector` .. `endSector` that is about to start.
    void showProgressFrom(std::uint64_t startSector, std::uint64_t endSector);
    // A pass has started; the general one starts the browser of the mode afresh.
    void showPassStarted(const std::string& caption, bool general, RecoveryMode mode);
    // The medium is open and the search runs.
    void showSearchRunning(RecoveryMode mode);
    // The photo set's thorough box and browse button, which stay put while a search runs.
    void setPhotoCriteriaEnabled(bool enabled);
    void resetZoom();
    SaveOptions saveOptions() const { return search.saveOptions(); }

    QLabel* _help_info = nullptr;
    QLabel* _Search_Type = nullptr;
    QLabel* _disk_identifier = nullptr; // shared by both criteria sets
    QLabel* _sectors_val = nullptr;     // shared by both criteria sets
    QPushButton* Next_btn = nullptr;
    QPushButton* Back_btn = nullptr;
    QPushButton* Exit_Btn = nullptr;
    QPushButton* Help_btn = nullptr;
    QPushButton* About_btn = nullptr;
    MediaScreen media;
    CriteriaScreen* criteria = nullptr;    // photo set
    CriteriaScreen* criteriaSig = nullptr; // set of the other modes
    CheckListScreen checkList;
    SearchScreen search;
};

} // namespace salvyn
