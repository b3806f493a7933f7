// MyTableController: the wizard's Next and Back, step by step.
#include "app/criteriascreen.h"
#include "app/mytablecontroller.h"
#include "app/wizardtexts.h"
#include "media/qt/medialist.h"
#include "platform/qt/alertservice.h"
#include "results/ui/foundfilelist.h"
#include "results/ui/resultstablemodel.h"
#include "results/ui/savefoundfiles.h"
#include "scan/rangecheck.h"
#include "signatures/qt/checklistmodel.h"

#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSlider>
#include <QTableView>

namespace salvyn {

void MyTableController::Next_btn()
{
    if (m_saver->isSaving())
        return;
    switch (m_screenCounter) {
    case 0: nextFromMedia(); break;
    case 1: nextFromCriteria(); break;
    case 2:
        if (Recovery_MODE != 0)
            nextFromCheckList();
        break;
    default: break;
    }
}

void MyTableController::Back_btn()
{
    if (m_saver->isSaving())
        return;
    switch (m_screenCounter) {
    case 1: backToMedia(); break;
    case 2: backToCriteria(); break;
    case 3: backToCheckList(); break;
    default: break;
    }
}

void MyTableController::nextFromMedia()
{
    if (m_mediaList->selectedRow() < 0) {
        m_services.alerts->message(this, texts::kNoMediumSelected);
        return;
    }
    const MyDataObject* medium = m_mediaList->selectedRecord();
    if (!medium)
        return;
    m_screenCounter = 1;
    setHelp(texts::kHelpEntireDisk);
    const QString identifier = QString::fromStdString(medium->nsStrDiskIdentifier());
    const QString sectors = QString::fromStdString(medium->nsStrSectors());
    criteriaOfMode()->enterFromMedium(identifier, QString::fromStdString(medium->nsStrVolName()),
                                      QString::fromStdString(medium->nsStrFileSystem()),
                                      QString::fromStdString(medium->nsStrSize()), sectors);
    m_diskIdentifier->setText(identifier);
    m_sectorsVal->setText(sectors);
    m_searchType->setText(texts::kSearchTypes[Recovery_MODE]);
    m_searchType->setHidden(false);
    m_back->setEnabled(true);
    show_hide_1_screen(true);
    show_hide_2_screen(false);
}

void MyTableController::nextFromCriteria()
{
    CriteriaScreen* criteria = criteriaOfMode();
    if (!criteria->entireDiskChosen() && criteria->sectorRangeChosen()) {
        const std::optional<RangeAlert> failure = checkSectorRange(
            criteria->startText().toStdString(), criteria->endText().toStdString(), m_sectorsVal->text().toStdString());
        if (failure) {
            m_services.alerts->message(this, QString::fromStdString(failure->message),
                                       QString::fromStdString(failure->informativeText));
            (failure->focus == RangeField::Start ? criteria->startField() : criteria->endField())->setFocus();
            return;
        }
    }
    m_screenCounter = 2;
    m_checkListScreen._Thro_Mode_Chk_SIG->setChecked(true);
    m_checkListScreen._select_unselect_Chk->setChecked(true);
    show_hide_2_screen(true);
    m_state.stop_now = 0;
    m_images->resetAdded_item_count();
    if (Recovery_MODE == 0) {
        show_hide_3_screen_Photo(false);
        startSearch();
    } else {
        enterCheckList();
    }
}

void MyTableController::enterCheckList()
{
    m_checkList->clear();
    m_checkList->fill(generalListOfMode(), thoroughListOfMode());
    setHelp(texts::kHelpCheckList);
    show_hide_3_screen_RawFile(false);
    m_checkList->sortByExtension();
}

const SignatureList& MyTableController::generalListOfMode() const
{
    const int mode = Recovery_MODE;
    return mode == 1 ? m_lists.Video_Array : mode == 2 ? m_lists.RawFile_Array : m_lists.Audio_Array;
}

const SignatureList& MyTableController::thoroughListOfMode() const
{
    const int mode = Recovery_MODE;
    return mode == 1 ? m_lists.Adv_Video_Array : mode == 2 ? m_lists.Adv_RawFile_Array : m_lists.Adv_Audio_Array;
}

void MyTableController::nextFromCheckList()
{
    m_checkListHeaderAdv.clear();
    m_checkListHeader.clear();
    m_resultsTable->clear();
    m_checkListHeader = m_checkList->withoutUncheckedTypes(generalListOfMode());
    m_checkListHeaderAdv = m_checkList->withoutUncheckedTypes(thoroughListOfMode());
    for (const CheckListRow& row : m_checkList->rows())
        if (row.State)
            m_resultsTable->createSignatureListTableRecord(row.Extension, 0, QString(), QString(), row.Extension);
    if (!m_checkList->Check_For_One_Extension_Selection()) {
        m_services.alerts->message(this, texts::kNoTypeSelected);
        m_checkListScreen.idCheckTableView->setFocus();
        return;
    }
    m_screenCounter = 3;
    show_hide_3_screen_RawFile(true);
    show_hide_4_screen_RawFile(false);
    startSearch();
}

void MyTableController::backToMedia()
{
    m_screenCounter = 0;
    m_searchType->setHidden(true);
    setHelp(texts::kHelpMedia);
    m_sectorsVal->setText(texts::kNone);
    m_diskIdentifier->setText(texts::kNone);
    m_criteria->setDiskValues(texts::kNone);
    m_criteriaSig->setDiskValues(texts::kNone);
    m_back->setEnabled(false);
    show_hide_1_screen(false);
    show_hide_2_screen(true);
    setRecoveryMode(0);
    Reload_Drive_list_Function();
}

void MyTableController::backToCriteria()
{
    m_screenCounter = 1;
    const QString help = criteriaOfMode()->helpTextForChoice();
    if (!help.isEmpty())
        setHelp(help);
    resetBrowsers();
    m_search.zoomCaption->setHidden(true);
    m_search._zoom_slider->setHidden(true);
    show_hide_2_screen(false);
    if (Recovery_MODE == 0)
        show_hide_3_screen_Photo(true);
    else
        show_hide_3_screen_RawFile(true);
    m_search._open_folder->setHidden(true);
    m_search._open_folder_Sig->setHidden(true);
    m_state.stop_now = 0;
    m_images->resetAdded_item_count();
}

void MyTableController::backToCheckList()
{
    m_screenCounter = 2;
    resetBrowsers();
    m_search._open_folder->setHidden(true);
    m_search._open_folder_Sig->setHidden(true);
    setHelp(texts::kHelpCheckList);
    show_hide_4_screen_RawFile(true);
    show_hide_3_screen_RawFile(false);
    m_state.stop_now = 0;
    m_images->resetAdded_item_count();
}

} // namespace salvyn
