#include "app/wizardwindow.h"

#include "app/criteriascreen.h"
#include "app/mytablecontroller.h"
#include "app/wizardtexts.h"
#include "media/qt/medialist.h"
#include "results/ui/destinationfolder.h"
#include "results/ui/imagebrowserview.h"
#include "results/ui/resultstablemodel.h"
#include "scan/progress.h"
#include "signatures/qt/checklistmodel.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTableView>
#include <QVBoxLayout>

namespace salvyn {
namespace {

void setHiddenAll(const QList<QWidget*>& widgets, bool hide)
{
    for (QWidget* widget : widgets)
        widget->setHidden(hide);
}

QLabel* hiddenValue(const QString& name, QWidget* parent)
{
    auto* label = new QLabel(texts::kNone, parent);
    label->setObjectName(name);
    label->setHidden(true);
    return label;
}

QPushButton* button(const QString& name, const QString& text, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

} // namespace

void WizardWindow::build(QWidget* panel, CheckListModel* checkListModel, ResultsTableModel* results,
                         FoundFileList* found)
{
    _help_info = new QLabel(panel);
    _help_info->setObjectName(QStringLiteral("_help_info"));
    _help_info->setWordWrap(true);
    _help_info->setTextFormat(Qt::PlainText);
    _help_info->setMinimumHeight(_help_info->fontMetrics().lineSpacing() * 2);
    _Search_Type = new QLabel(panel);
    _Search_Type->setObjectName(QStringLiteral("_Search_Type"));
    _disk_identifier = hiddenValue(QStringLiteral("_disk_identifier"), panel);
    _sectors_val = hiddenValue(QStringLiteral("_sectors_val"), panel);
    media = buildMediaScreen(panel);
    criteria = new CriteriaScreen(panel, QString(), true);
    criteriaSig = new CriteriaScreen(panel, QStringLiteral("_Sig"), false);
    checkList = buildCheckListScreen(panel, checkListModel);
    search = buildSearchScreen(panel);
    search.imageBrowser->setFoundFileList(found);
    search.imageBrowser_2->setFoundFileList(found);
    QObject::connect(found, &FoundFileList::totalsChanged, search.foundTotalsLabel,
                     [this, found] { search.showTotals(*found); });
    search.idSigTableView->setModel(results);

    auto* row = new QWidget(panel);
    Help_btn = button(QStringLiteral("Help_btn"), QStringLiteral("Help"), row);
    About_btn = button(QStringLiteral("About_btn"), QStringLiteral("About"), row);
    Exit_Btn = button(QStringLiteral("Exit_Btn"), QStringLiteral("Exit"), row);
    Back_btn = button(QStringLiteral("Back_btn"), QStringLiteral("Back"), row);
    Next_btn = button(QStringLiteral("Next_btn"), QStringLiteral("Next"), row);
    Next_btn->setDefault(true);
    auto* buttons = new QHBoxLayout(row);
    buttons->setContentsMargins(0, 0, 0, 0);
    for (QPushButton* b : {Help_btn, About_btn})
        buttons->addWidget(b);
    buttons->addStretch(1);
    for (QPushButton* b : {Exit_Btn, Back_btn, Next_btn})
        buttons->addWidget(b);

    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(_help_info);
    layout->addWidget(_Search_Type);
    for (QWidget* page : {media.page, criteria->page(), criteriaSig->page(), checkList.page, search.page})
        layout->addWidget(page, 1);
    layout->addWidget(row);
    for (CriteriaScreen* set : {criteria, criteriaSig})
        QObject::connect(set, &CriteriaScreen::helpTextChanged, _help_info, [this](const QString& text) { showHelp(text); });
    QObject::connect(search._zoom_slider, &QSlider::valueChanged, search.imageBrowser,
                     [browser = search.imageBrowser](int value) { browser->setZoomValue(value / 100.0); });
    // Preview views show when a preview asks for them; the other groups follow the layout.
    setHiddenAll({search._QuickLook_View, search.mMovieView}, true);
    showLayout(ScreenLayout{}, RecoveryMode::Photo);
}

void WizardWindow::connectTo(MyTableController& c, MediaList& mediaList, DestinationFolder& destination) const
{
    using C = MyTableController;
    QObject::connect(Next_btn, &QPushButton::clicked, &c, &C::Next_btn);
    QObject::connect(Back_btn, &QPushButton::clicked, &c, &C::Back_btn);
    QObject::connect(Exit_Btn, &QPushButton::clicked, &c, &C::Exit_Btn);
    QObject::connect(Help_btn, &QPushButton::clicked, &c, &C::Help_btn);
    QObject::connect(About_btn, &QPushButton::clicked, &c, &C::About_btn);
    QObject::connect(media.modeRadios[0], &QRadioButton::clicked, &c, &C::Photo_Mode_Radio);
    QObject::connect(media.modeRadios[1], &QRadioButton::clicked, &c, &C::Video_Mode_Radio);
    QObject::connect(media.modeRadios[2], &QRadioButton::clicked, &c, &C::RawFile_Mode_Radio);
    QObject::connect(media.modeRadios[3], &QRadioButton::clicked, &c, &C::Audio_Mode_Radio);
    QObject::connect(media.refreshButton, &QPushButton::clicked, &mediaList, &MediaList::rebresh_drives);
    // The button shows the wait for the media as well as the sheet does.
    QObject::connect(&mediaList, &MediaList::reloadStarted, media.refreshButton, [button = media.refreshButton] {
        button->setEnabled(false);
        button->setText(QStringLiteral("Refreshing\u2026"));
    });
    QObject::connect(&mediaList, &MediaList::reloaded, media.refreshButton, [button = media.refreshButton] {
        button->setEnabled(true);
        button->setText(QStringLiteral("Refresh"));
    });
    QObject::connect(media.addDiskImageButton, &QPushButton::clicked, &c, &C::chooseDiskImage);
    QObject::connect(checkList._select_unselect_Chk, &QCheckBox::clicked, &c, &C::Select_Unselect_Check_btn);
    QObject::connect(checkList.idCheckTableView, &QTableView::clicked, &c, &C::clickTable);
    QObject::connect(search._stop_scan, &QPushButton::clicked, &c, &C::stop_usb_disk);
    QObject::connect(criteria->browseButton(), &QPushButton::clicked, &destination, &DestinationFolder::Browse_Path);
    QObject::connect(criteriaSig->browseButton(), &QPushButton::clicked, &destination,
                     &DestinationFolder::Browse_Path_Sig);
    for (QPushButton* save : {search._save_found_files, search._save_found_files_Sig})
        QObject::connect(save, &QPushButton::clicked, &c, &C::Save_Found_Files);
    for (QPushButton* open : {search._open_folder, search._open_folder_Sig})
        QObject::connect(open, &QPushButton::clicked, &c, &C::Open_Folder);
}

CriteriaScreen* WizardWindow::criteriaOf(RecoveryMode mode) const
{
    return mode == RecoveryMode::Photo ? criteria : criteriaSig;
}

void WizardWindow::show_hide_1_screen(bool hide)
{
    setHiddenAll(media.controls(), hide);
}

void WizardWindow::show_hide_3_screen_Photo(bool hide)
{
    setHiddenAll({search.photoArea, search.imageBrowser}, hide);
}

void WizardWindow::show_hide_3_screen_RawFile(bool hide)
{
    setHiddenAll(checkList.controls(), hide);
}

void WizardWindow::show_hide_4_screen_RawFile(bool hide)
{
    setHiddenAll({search.rawArea, search._open_folder_Sig, search.imageBrowser_2, search.idSigTableView,
                  search._QuickLook_View_Box},
                 hide);
}

void WizardWindow::showLayout(const ScreenLayout& layout, RecoveryMode mode)
{
    const Screen screen = layout.screen;
    show_hide_1_screen(screen != Screen::Media);
    const bool criteriaShown = screen == Screen::Criteria;
    criteria->showHide(!(criteriaShown && mode == RecoveryMode::Photo));
    criteriaSig->showHide(!(criteriaShown && mode != RecoveryMode::Photo));
    show_hide_3_screen_RawFile(screen != Screen::CheckList);
    search.page->setHidden(screen != Screen::PhotoSearch && screen != Screen::OtherSearch);
    show_hide_3_screen_Photo(screen != Screen::PhotoSearch);
    show_hide_4_screen_RawFile(screen != Screen::OtherSearch);
    setHiddenAll(search.progressControls(), !layout.progress);
    setHiddenAll({search.zoomCaption, search._zoom_slider, search._open_folder, search._save_found_files},
                 !layout.photoResults);
    search._save_found_files_Sig->setHidden(!layout.otherResults);
    _Search_Type->setHidden(!layout.searchType);
    Next_btn->setEnabled(layout.nextEnabled);
    Back_btn->setEnabled(layout.backEnabled);
}

void WizardWindow::showHelp(const QString& text)
{
    // The texts' leading line feed would stand as an empty band above every screen.
    _help_info->setText(text.trimmed());
}

void WizardWindow::setModeRadios(RecoveryMode mode)
{
    for (int i = 0; i < 4; ++i)
        media.modeRadios[i]->setChecked(i == static_cast<int>(mode));
}

std::vector<std::size_t> WizardWindow::selectedFoundFiles(RecoveryMode mode) const
{
    const ImageBrowserView* browser = mode == RecoveryMode::Photo ? search.imageBrowser : search.imageBrowser_2;
    return browser->selectedRows();
}

void WizardWindow::showMedium(RecoveryMode mode, const MyDataObject& medium)
{
    const QString identifier = QString::fromStdString(medium.nsStrDiskIdentifier());
    const QString sectors = QString::fromStdString(medium.nsStrSectors());
    criteriaOf(mode)->enterFromMedium(identifier, QString::fromStdString(medium.nsStrVolName()),
                                      QString::fromStdString(medium.nsStrFileSystem()),
                                      QString::fromStdString(medium.nsStrSize()), sectors);
    _disk_identifier->setText(identifier);
    _sectors_val->setText(sectors);
    _Search_Type->setText(texts::kSearchTypes[static_cast<int>(mode)]);
}

void WizardWindow::forgetMedium()
{
    for (QLabel* value : {_sectors_val, _disk_identifier})
        value->setText(texts::kNone);
    criteria->setDiskValues(texts::kNone);
    criteriaSig->setDiskValues(texts::kNone);
}

void WizardWindow::showProgress(const ProgressDisplay& display)
{
    search._sector_label->setText(QString::fromStdString(display.sectorLabel));
    search._Progress_Horz->setMaximum(display.bar.maximum);
    search._Progress_Horz->setValue(display.bar.value);
    search.passSpeedLabel->setText(QString::fromStdString(display.speed));
}

NextInputs WizardWindow::nextInputs(RecoveryMode mode, const MediaList& mediaList,
                                    const CheckListModel& checkListModel, std::optional<Screen> pressedOn) const
{
    const CriteriaScreen* set = criteriaOf(mode);
    NextInputs inputs{mediaList.selectedRow() >= 0,
                      mediaList.selectedRecord(),
                      {set->entireDiskChosen(), set->sectorRangeChosen(), set->startText().toStdString(),
                       set->endText().toStdString()},
                      criteria->thoroughBox()->isChecked(),
                      checkList._Thro_Mode_Chk_SIG->isChecked(),
                      {},
                      pressedOn};
    for (const CheckListRow& row : checkListModel.rows())
        inputs.types.push_back({row.Extension.toStdString(), row.State});
    return inputs;
}

void WizardWindow::focus(FocusTarget target, RecoveryMode mode) const
{
    if (target == FocusTarget::StartField)
        criteriaOf(mode)->startField()->setFocus();
    else if (target == FocusTarget::EndField)
        criteriaOf(mode)->endField()->setFocus();
    else if (target == FocusTarget::CheckList)
        checkList.idCheckTableView->setFocus();
}

void WizardWindow::showProgressFrom(std::uint64_t startSector, std::uint64_t endSector)
{
    const std::uint64_t total = endSector - startSector;
    showProgress({sectorLabelText(startSector, endSector, completedPercent(startSector, startSector, total)),
                  progressBarValues(startSector, startSector, total), {}});
}

void WizardWindow::showPassStarted(const std::string& caption, bool general, RecoveryMode mode)
{
    search._Mode_label->setText(QString::fromStdString(caption));
    if (general && mode == RecoveryMode::Photo)
        resetZoom();
    else if (general)
        search.imageBrowser_2->resetPrev_Index();
}

void WizardWindow::showSearchRunning(RecoveryMode mode)
{
    setPhotoCriteriaEnabled(false); // in every mode: nothing else may change while it runs
    if (mode != RecoveryMode::Photo)
        search._QuickLook_View_Box->setTitle(texts::kNoPreviewTitle);
    search._Progress_Horz->setValue(0);
    showHelp(texts::kHelpSearchRunning);
}

void WizardWindow::setPhotoCriteriaEnabled(bool enabled)
{
    criteria->thoroughBox()->setEnabled(enabled);
    criteria->browseButton()->setEnabled(enabled);
}

void WizardWindow::resetZoom()
{
    search._zoom_slider->setValue(qRound(ImageBrowserView::zoomSliderDefault * 100));
    search.imageBrowser->setZoomValue(ImageBrowserView::photoBrowserZoom);
    search.imageBrowser_2->setZoomValue(ImageBrowserView::rawFileBrowserZoom);
}

} // namespace salvyn
