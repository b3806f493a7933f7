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
struct ProgressDisplay;

struct WizardWindow {
    // Builds every control as a child of `panel`, with only the media screen showing.
    void build(QWidget* panel, CheckListModel* checkList);

    CriteriaScreen* criteriaOf(RecoveryMode mode) const;
    void show_hide_1_screen(bool hide);
    void show_hide_3_screen_Photo(bool hide);
    void show_hide_3_screen_RawFile(bool hide);
    void show_hide_4_screen_RawFile(bool hide);
    // Every group of `layout.screen` shows and every other one hides.
    void showLayout(const ScreenLayout& layout, RecoveryMode mode);
    void setModeRadios(RecoveryMode mode);
    // The chosen medium's texts on the mode's criteria screen, or "<None>" everywhere.
    void showMedium(RecoveryMode mode, const MyDataObject& medium);
    void forgetMedium();
    void showProgress(const ProgressDisplay& display);
    // The photo set's thorough box and browse button, which stay put while a search runs.
    void setPhotoCriteriaEnabled(bool enabled);
    void resetZoom();

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
