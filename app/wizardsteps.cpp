// MyTableController: the wizard's Next and Back, carried out as the wizard model decides.
#include "app/criteriascreen.h"
#include "app/mytablecontroller.h"
#include "app/wizardtexts.h"
#include "media/qt/medialist.h"
#include "platform/qt/alertservice.h"
#include "results/ui/foundfilelist.h"
#include "results/ui/previewdisplay.h"
#include "results/ui/resultstablemodel.h"
#include "results/ui/savefoundfiles.h"
#include "signatures/qt/checklistmodel.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

namespace salvyn {

NextInputs MyTableController::nextInputs() const
{
    NextInputs inputs;
    inputs.mediumRowSelected = m_mediaList->selectedRow() >= 0;
    inputs.medium = m_mediaList->selectedRecord();
    const CriteriaScreen* criteria = m_window.criteriaOf(mode());
    inputs.criteria = {criteria->entireDiskChosen(), criteria->sectorRangeChosen(), criteria->startText().toStdString(),
                       criteria->endText().toStdString()};
    inputs.photoThorough = m_window.criteria->thoroughBox()->isChecked();
    inputs.otherThorough = m_window.checkList._Thro_Mode_Chk_SIG->isChecked();
    for (const CheckListRow& row : m_checkList->rows())
        inputs.types.push_back({row.Extension.toStdString(), row.State});
    return inputs;
}

void MyTableController::Next_btn()
{
    if (m_saver->isSaving())
        return;
    const bool leavingCheckList = m_wizard.screen() == Screen::CheckList;
    NextOutcome outcome = m_wizard.Next_btn(nextInputs());
    if (leavingCheckList) {
        m_resultsTable->clear();
        for (const std::string& type : outcome.resultTypes)
            m_resultsTable->createSignatureListTableRecord(QString::fromStdString(type), 0, {}, {},
                                                           QString::fromStdString(type));
    }
    switch (outcome.step) {
    case NextStep::Nothing: return;
    case NextStep::Refused: refuse(outcome.refusal); return;
    case NextStep::EnterCriteria:
        setHelp(texts::kHelpEntireDisk);
        m_window.showMedium(mode(), *m_mediaList->selectedRecord());
        break;
    case NextStep::EnterCheckList:
    case NextStep::StartPhotoSearch:
        m_window.checkList._Thro_Mode_Chk_SIG->setChecked(true);
        m_window.checkList._select_unselect_Chk->setChecked(true);
        m_state.stop_now = 0;
        m_images->resetAdded_item_count();
        break;
    case NextStep::StartOtherSearch: break;
    }
    m_window.showLayout(m_wizard.layout(), mode());
    if (outcome.step == NextStep::EnterCheckList)
        showCheckList();
    if (outcome.step == NextStep::StartOtherSearch)
        showPreviewView(true);
    if (outcome.step == NextStep::StartPhotoSearch || outcome.step == NextStep::StartOtherSearch)
        startSearch(std::move(outcome.request));
}

void MyTableController::refuse(const Refusal& refusal)
{
    m_services.alerts->message(this, QString::fromStdString(refusal.message),
                               QString::fromStdString(refusal.informativeText));
    const CriteriaScreen* criteria = m_window.criteriaOf(mode());
    if (refusal.focus == FocusTarget::StartField)
        criteria->startField()->setFocus();
    else if (refusal.focus == FocusTarget::EndField)
        criteria->endField()->setFocus();
    else if (refusal.focus == FocusTarget::CheckList)
        m_window.checkList.idCheckTableView->setFocus();
}

void MyTableController::showCheckList()
{
    const ModeLists lists = m_wizard.listsOfCurrentMode();
    m_checkList->fill(lists.general, lists.thorough);
    setHelp(texts::kHelpCheckList);
    m_checkList->sortByExtension();
}

void MyTableController::Back_btn()
{
    if (m_saver->isSaving())
        return;
    const BackStep step = m_wizard.Back_btn();
    if (step == BackStep::Nothing)
        return;
    m_window.showLayout(m_wizard.layout(), mode());
    if (step == BackStep::ToMedia) {
        setHelp(texts::kHelpMedia);
        m_window.forgetMedium();
        m_window.setModeRadios(mode());
        Reload_Drive_list_Function();
        return;
    }
    if (step == BackStep::ToCriteria) {
        if (const QString help = m_window.criteriaOf(mode())->helpTextForChoice(); !help.isEmpty())
            setHelp(help);
    } else {
        setHelp(texts::kHelpCheckList);
        showPreviewView(false);
    }
    resetBrowsers();
    m_state.stop_now = 0;
    m_images->resetAdded_item_count();
}

// The preview box offers the movie view in the video and audio modes, the image view in
// the raw-file mode; entering or leaving the result screen starts it empty.
void MyTableController::showPreviewView(bool show)
{
    if (mode() == RecoveryMode::RawFile) {
        m_window.search._QuickLook_View->setHidden(!show);
        m_display->clearImageView();
    } else {
        m_window.search.mMovieView->setHidden(!show);
        m_display->closemovie_Win();
    }
}

} // namespace salvyn
