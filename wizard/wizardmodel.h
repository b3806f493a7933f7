#pragma once
// The wizard's decisions, without its widgets: which screen and mode it is on, what Next
// and Back do from each screen and why Next refuses, which controls the screen shows, the
// signature lists of each mode and the search request handed to the worker. The window
// reads the controls, asks here, and shows the answer.
// UI thread only, except `Recovery_MODE`, which search threads may read at any time.
#include "media/mydataobject.h"
#include "scan/searchrequest.h"
#include "signatures/signaturelist.h"

#include <atomic>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace salvyn {

enum class RecoveryMode : int { Photo = 0, Video = 1, RawFile = 2, Audio = 3 };

// The wizard's screens; `screen_counter` numbers both the photo search and the check list 2.
enum class Screen { Media, Criteria, CheckList, PhotoSearch, OtherSearch };

enum class SearchPhase { None, Running, Ended };

// The general and thorough list of a mode.
struct ModeLists {
    const SignatureList& general;
    const SignatureList& thorough;
};
ModeLists listsOfMode(const SignatureLists& lists, RecoveryMode mode);

// The Entire Disk / Sector Range choice of the mode's criteria screen.
struct CriteriaChoice {
    bool entireDisk = true;
    bool sectorRange = false;
    std::string startText;
    std::string endText;
};

struct TypeChoice {
    std::string extension;
    bool checked = true;
};

// What the controls hold when Next is pressed.
struct NextInputs {
    bool mediumRowSelected = false;
    const MyDataObject* medium = nullptr; // the selected row's record
    CriteriaChoice criteria;              // the mode's criteria set
    bool photoThorough = false;           // `_Thro_Mode_Chk`
    bool otherThorough = false;           // `_Thro_Mode_Chk_SIG`
    std::vector<TypeChoice> types;        // the check list, in its order
    // The screen on display when the pointer pressed the button; a second click of a quick
    // double click still aims at the screen the first one left. None for the keyboard.
    std::optional<Screen> pressedOn;
};

enum class FocusTarget { None, StartField, EndField, CheckList };

struct Refusal {
    std::string message;
    std::string informativeText;
    FocusTarget focus = FocusTarget::None;
};

enum class NextStep { Nothing, Refused, EnterCriteria, EnterCheckList, StartPhotoSearch, StartOtherSearch };

struct NextOutcome {
    NextStep step = NextStep::Nothing;
    Refusal refusal;                       // when Refused
    std::vector<std::string> resultTypes;  // leaving the check list: one results row per ticked type
    SearchRequest request;                 // when a search starts
};

enum class BackStep { Nothing, ToMedia, ToCriteria, ToCheckList };

// Which controls the current screen shows and which of Next and Back work. Exactly one
// screen group shows: the one of `screen`.
struct ScreenLayout {
    Screen screen = Screen::Media;
    bool searchType = false;   // `_Search_Type`
    bool progress = false;     // pass caption, sector label, progress bar, Stop
    bool photoResults = false; // zoom caption and slider, `_open_folder`, `_save_found_files`
    bool otherResults = false; // `_save_found_files_Sig`
    bool nextEnabled = true;
    bool backEnabled = false;
};

class WizardModel {
public:
    Screen screen() const { return m_screen; }
    int screen_counter() const;
    SearchPhase phase() const { return m_phase; }
    RecoveryMode Recovery_MODE() const { return m_mode.load(); }
    // The mode radios; they live on the media screen only.
    void chooseMode(RecoveryMode mode);

    void setSignatureLists(SignatureLists lists) { m_lists = std::move(lists); }
    const SignatureLists& signatureLists() const { return m_lists; }
    ModeLists listsOfCurrentMode() const { return listsOfMode(m_lists, Recovery_MODE()); }

    // The medium chosen on the media screen; empty texts on the media screen.
    const std::string& diskIdentifier() const { return m_diskIdentifier; }
    const std::string& sectorsText() const { return m_sectorsText; }
    // The ticked types' records handed to the last search started from the check list.
    const SignatureList& CheckListHeader_Array() const { return m_checkListHeader; }
    const SignatureList& CheckListHeader_Adv_Array() const { return m_checkListHeaderAdv; }

    // Both do nothing when pressed on a screen that is no longer the current one.
    NextOutcome Next_btn(const NextInputs& inputs);
    BackStep Back_btn(std::optional<Screen> pressedOn = std::nullopt);
    // The search's end screen has been shown.
    void searchEnded();
    // The medium could not be opened: back to the screen the search was started from.
    void searchCouldNotStart();

    ScreenLayout layout() const;

private:
    NextOutcome nextFromMedia(const NextInputs& inputs);
    NextOutcome nextFromCriteria(const NextInputs& inputs);
    NextOutcome nextFromCheckList(const NextInputs& inputs);
    SearchRequest searchRequest(const NextInputs& inputs, const SignatureList& general,
                                const SignatureList& thoroughList, bool thorough) const;

    Screen m_screen = Screen::Media;
    SearchPhase m_phase = SearchPhase::None;
    std::atomic<RecoveryMode> m_mode{RecoveryMode::Photo};
    SignatureLists m_lists;
    std::string m_diskIdentifier;
    std::string m_sectorsText;
    SignatureList m_checkListHeader;
    SignatureList m_checkListHeaderAdv;
};

// The found files a save takes, in the list's order, each once: the selected rows, or when
// none is selected every row the results show (a size filter hides the rest).
std::vector<std::size_t> saveSelection(std::vector<std::size_t> selectedRows, std::vector<std::size_t> shownRows);

} // namespace salvyn
