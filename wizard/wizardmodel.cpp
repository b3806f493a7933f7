#include "wizard/wizardmodel.h"

#include "scan/rangecheck.h"

#include <algorithm>

namespace salvyn {
namespace {

const char* const kNoMediumSelected = "\nPlease select a storage media from list.";
const char* const kNoTypeSelected = "\nPlease select atleast one extension type.";

// The records of `list` whose type is none of `dropped`, in order.
SignatureList withoutTypes(const SignatureList& list, const std::vector<std::string>& dropped)
{
    SignatureList kept;
    for (std::size_t r = 0; r < recordCount(list); ++r) {
        if (std::find(dropped.begin(), dropped.end(), recordEntry(list, r, 0)) != dropped.end())
            continue;
        const auto first = list.begin() + static_cast<std::ptrdiff_t>(r * kSignatureRecordSize);
        kept.insert(kept.end(), first, first + kSignatureRecordSize);
    }
    return kept;
}

} // namespace

ModeLists listsOfMode(const SignatureLists& lists, RecoveryMode mode)
{
    switch (mode) {
    case RecoveryMode::Video: return {lists.Video_Array, lists.Adv_Video_Array};
    case RecoveryMode::RawFile: return {lists.RawFile_Array, lists.Adv_RawFile_Array};
    case RecoveryMode::Audio: return {lists.Audio_Array, lists.Adv_Audio_Array};
    case RecoveryMode::Photo: break;
    }
    return {lists.Ext_Array, lists.Adv_Ext_Array};
}

int WizardModel::screen_counter() const
{
    switch (m_screen) {
    case Screen::Media: return 0;
    case Screen::Criteria: return 1;
    case Screen::CheckList:
    case Screen::PhotoSearch: return 2;
    case Screen::OtherSearch: return 3;
    }
    return 0;
}

void WizardModel::chooseMode(RecoveryMode mode)
{
    if (m_screen == Screen::Media)
        m_mode = mode;
}

NextOutcome WizardModel::Next_btn(const NextInputs& inputs)
{
    if (inputs.pressedOn.value_or(m_screen) != m_screen)
        return {};
    switch (m_screen) {
    case Screen::Media: return nextFromMedia(inputs);
    case Screen::Criteria: return nextFromCriteria(inputs);
    case Screen::CheckList: return nextFromCheckList(inputs);
    case Screen::PhotoSearch:
    case Screen::OtherSearch: break; // Next is off from the start of a search on
    }
    return {};
}

NextOutcome WizardModel::nextFromMedia(const NextInputs& inputs)
{
    if (!inputs.mediumRowSelected)
        return {NextStep::Refused, {kNoMediumSelected, "", FocusTarget::None}, {}, {}};
    if (!inputs.medium)
        return {};
    m_diskIdentifier = inputs.medium->nsStrDiskIdentifier();
    m_sectorsText = inputs.medium->nsStrSectors();
    m_screen = Screen::Criteria;
    return {NextStep::EnterCriteria, {}, {}, {}};
}

NextOutcome WizardModel::nextFromCriteria(const NextInputs& inputs)
{
    const CriteriaChoice& criteria = inputs.criteria;
    if (!criteria.entireDisk && criteria.sectorRange) {
        if (const auto alert = checkSectorRange(criteria.startText, criteria.endText, m_sectorsText)) {
            const FocusTarget focus = alert->focus == RangeField::Start ? FocusTarget::StartField : FocusTarget::EndField;
            return {NextStep::Refused, {alert->message, alert->informativeText, focus}, {}, {}};
        }
    }
    if (Recovery_MODE() != RecoveryMode::Photo) {
        m_screen = Screen::CheckList;
        return {NextStep::EnterCheckList, {}, {}, {}};
    }
    m_screen = Screen::PhotoSearch;
    m_phase = SearchPhase::Running;
    const ModeLists lists = listsOfCurrentMode();
    return {NextStep::StartPhotoSearch, {}, {}, searchRequest(inputs, lists.general, lists.thorough, inputs.photoThorough)};
}

NextOutcome WizardModel::nextFromCheckList(const NextInputs& inputs)
{
    // The working lists and the results rows are made again at every try, refused or not.
    std::vector<std::string> unticked;
    NextOutcome outcome;
    for (const TypeChoice& type : inputs.types)
        (type.checked ? outcome.resultTypes : unticked).push_back(type.extension);
    const ModeLists lists = listsOfCurrentMode();
    m_checkListHeader = withoutTypes(lists.general, unticked);
    m_checkListHeaderAdv = withoutTypes(lists.thorough, unticked);
    if (outcome.resultTypes.empty()) {
        outcome.step = NextStep::Refused;
        outcome.refusal = {kNoTypeSelected, "", FocusTarget::CheckList};
        return outcome;
    }
    m_screen = Screen::OtherSearch;
    m_phase = SearchPhase::Running;
    outcome.step = NextStep::StartOtherSearch;
    outcome.request = searchRequest(inputs, m_checkListHeader, m_checkListHeaderAdv, inputs.otherThorough);
    return outcome;
}

SearchRequest WizardModel::searchRequest(const NextInputs& inputs, const SignatureList& general,
                                         const SignatureList& thoroughList, bool thorough) const
{
    SearchRequest request;
    request.sourceIdentifier = m_diskIdentifier;
    request.recoveryMode = static_cast<int>(Recovery_MODE());
    request.entireDiskChosen = inputs.criteria.entireDisk;
    request.sectorRangeChosen = inputs.criteria.sectorRange;
    request.startSectorText = inputs.criteria.startText;
    request.endSectorText = inputs.criteria.endText;
    request.sectorCountText = m_sectorsText;
    request.thorough = thorough;
    request.generalList = general;
    request.thoroughList = thoroughList;
    return request;
}

BackStep WizardModel::Back_btn(std::optional<Screen> pressedOn)
{
    if (m_phase == SearchPhase::Running || pressedOn.value_or(m_screen) != m_screen)
        return BackStep::Nothing;
    m_phase = SearchPhase::None;
    switch (m_screen) {
    case Screen::Media: return BackStep::Nothing;
    case Screen::Criteria:
        m_screen = Screen::Media;
        m_mode = RecoveryMode::Photo;
        m_diskIdentifier.clear();
        m_sectorsText.clear();
        return BackStep::ToMedia;
    case Screen::CheckList:
    case Screen::PhotoSearch: m_screen = Screen::Criteria; return BackStep::ToCriteria;
    case Screen::OtherSearch: m_screen = Screen::CheckList; return BackStep::ToCheckList;
    }
    return BackStep::Nothing;
}

void WizardModel::searchEnded()
{
    if (m_phase == SearchPhase::Running)
        m_phase = SearchPhase::Ended;
}

void WizardModel::searchCouldNotStart()
{
    if (m_phase != SearchPhase::Running)
        return;
    m_phase = SearchPhase::None;
    m_screen = m_screen == Screen::PhotoSearch ? Screen::Criteria : Screen::CheckList;
}

ScreenLayout WizardModel::layout() const
{
    ScreenLayout shown;
    shown.screen = m_screen;
    shown.searchType = m_screen != Screen::Media;
    shown.backEnabled = m_screen != Screen::Media;
    if (m_screen == Screen::PhotoSearch || m_screen == Screen::OtherSearch) {
        const bool ended = m_phase == SearchPhase::Ended;
        shown.progress = !ended;
        shown.photoResults = ended && m_screen == Screen::PhotoSearch;
        shown.otherResults = ended && m_screen == Screen::OtherSearch;
        shown.nextEnabled = false;
        shown.backEnabled = ended;
    }
    return shown;
}

std::vector<std::size_t> saveSelection(std::vector<std::size_t> selectedRows, std::vector<std::size_t> shownRows)
{
    std::vector<std::size_t>& rows = selectedRows.empty() ? shownRows : selectedRows;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

} // namespace salvyn
