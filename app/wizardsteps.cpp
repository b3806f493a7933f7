// MyTableController: the wizard's Next and Back, carried out as the wizard model decides.
#include "app/criteriascreen.h"
#include "app/mytablecontroller.h"
#include "app/pressedscreen.h"
#include "app/previewbox.h"
#include "app/wizardtexts.h"
#include "media/qt/medialist.h"
#include "platform/qt/alertservice.h"
#include "results/ui/foundfilelist.h"
#include "results/ui/resultstablemodel.h"
#include "results/ui/savefoundfiles.h"
#include "signatures/qt/checklistmodel.h"

#include <QCheckBox>

namespace salvyn {

void MyTableController::Next_btn()
{
    const std::optional<Screen> pressedOn = m_pressedScreen->take();
    if (m_saver->isSaving())
        return;
    const bool onCheckList = m_wizard.screen() == Screen::CheckList;
    NextOutcome outcome = m_wizard.Next_btn(m_window.nextInputs(mode(), *m_mediaList, *m_checkList, pressedOn));
    if (onCheckList && outcome.step != NextStep::Nothing) { // the results rows are made again at every try
        m_resultsTable->clear();
        for (const std::string& type : outcome.resultTypes)
            m_resultsTable->createSignatureListTableRecord(QString::fromStdString(type), 0, {}, {},
                                                           QString::fromStdString(type));
    }
    const NextStep step = outcome.step;
    if (step == NextStep::Refused) {
        m_services.alerts->message(this, QString::fromStdString(outcome.refusal.message),
                                   QString::fromStdString(outcome.refusal.informativeText));
        return m_window.focus(outcome.refusal.focus, mode());
    }
    if (step == NextStep::Nothing)
        return;
    if (step == NextStep::EnterCriteria) {
        setHelp(texts::kHelpEntireDisk);
        m_window.showMedium(mode(), *m_mediaList->selectedRecord());
    } else if (step == NextStep::EnterCheckList || step == NextStep::StartPhotoSearch) {
        m_window.checkList._Thro_Mode_Chk_SIG->setChecked(true);
        m_window.checkList._select_unselect_Chk->setChecked(true);
        resetForNextSearch();
    }
    showLayout();
    if (step == NextStep::EnterCheckList)
        showCheckList();
    if (step == NextStep::StartOtherSearch)
        m_preview->showView(true);
    if (step == NextStep::StartPhotoSearch || step == NextStep::StartOtherSearch)
        m_search.start(std::move(outcome.request), &m_resultsTable->rows());
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
    const std::optional<Screen> pressedOn = m_pressedScreen->take();
    if (m_saver->isSaving())
        return;
    const BackStep step = m_wizard.Back_btn(pressedOn);
    if (step == BackStep::Nothing)
        return;
    showLayout();
    if (step == BackStep::ToMedia) {
        setHelp(texts::kHelpMedia);
        m_window.forgetMedium();
        m_window.setModeRadios(mode());
        return Reload_Drive_list_Function();
    }
    if (step == BackStep::ToCheckList) {
        setHelp(texts::kHelpCheckList);
        m_preview->showView(false);
    } else if (const QString help = m_window.criteriaOf(mode())->helpTextForChoice(); !help.isEmpty()) {
        setHelp(help);
    }
    m_images->removeAllImages();
    m_window.resetZoom();
    resetForNextSearch();
}

void MyTableController::showLayout()
{
    m_window.showLayout(m_wizard.layout(), mode());
}

void MyTableController::resetForNextSearch()
{
    m_search.state().stop_now = 0;
    m_images->resetAdded_item_count();
}

} // namespace salvyn
