#include "app/searchscreen.h"

#include "app/wizardtexts.h"
#include "results/ui/imagebrowserview.h"
#include "results/ui/sizetext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

namespace salvyn {
namespace {

QPushButton* saveButton(const QString& name, QWidget* parent)
{
    auto* button = new QPushButton(texts::kSaveFoundFiles, parent);
    button->setObjectName(name);
    return button;
}

QWidget* buildPhotoArea(SearchScreen& screen)
{
    auto* area = new QWidget(screen.page);
    screen.imageBrowser = new ImageBrowserView(FoundFileList::Kind::Photo, area);
    screen.imageBrowser->setObjectName(QStringLiteral("imageBrowser"));
    screen.zoomCaption = new QLabel(QStringLiteral("Zoom"), area);
    screen.zoomCaption->setObjectName(QStringLiteral("_zoom_caption"));
    screen._zoom_slider = new QSlider(Qt::Horizontal, area);
    screen._zoom_slider->setObjectName(QStringLiteral("_zoom_slider"));
    screen._zoom_slider->setRange(0, 100);
    screen._open_folder = new QPushButton(QStringLiteral("Open Folder"), area);
    screen._open_folder->setObjectName(QStringLiteral("_open_folder"));
    screen._save_found_files = saveButton(QStringLiteral("_save_found_files"), area);
    auto* row = new QHBoxLayout;
    row->addWidget(screen.zoomCaption);
    row->addWidget(screen._zoom_slider, 1);
    row->addStretch(1);
    row->addWidget(screen._save_found_files);
    row->addWidget(screen._open_folder);
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(screen.imageBrowser, 1);
    layout->addLayout(row);
    return area;
}

QWidget* buildRawArea(SearchScreen& screen)
{
    auto* area = new QWidget(screen.page);
    auto* split = new QSplitter(Qt::Horizontal, area);
    screen.imageBrowser_2 = new ImageBrowserView(FoundFileList::Kind::RawFile, split);
    screen.imageBrowser_2->setObjectName(QStringLiteral("imageBrowser_2"));
    screen.idSigTableView = new QTableView(split);
    screen.idSigTableView->setObjectName(QStringLiteral("idSigTableView"));
    screen.idSigTableView->verticalHeader()->hide();
    screen.idSigTableView->horizontalHeader()->setStretchLastSection(true);
    screen.idSigTableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    screen._QuickLook_View_Box = new QGroupBox(texts::kNoPreviewTitle, split);
    screen._QuickLook_View_Box->setObjectName(QStringLiteral("_QuickLook_View_Box"));
    screen._QuickLook_View = new QLabel(screen._QuickLook_View_Box);
    screen._QuickLook_View->setObjectName(QStringLiteral("_QuickLook_View"));
    screen._QuickLook_View->setAlignment(Qt::AlignCenter);
    screen._QuickLook_View->setMinimumSize(200, 200);
    // A picture shown must not push the panes around: the box keeps the size the splitter gives.
    screen._QuickLook_View->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    screen._QuickLook_View_Box->setMinimumWidth(260);
    screen.mMovieView = new QWidget(screen._QuickLook_View_Box);
    screen.mMovieView->setObjectName(QStringLiteral("mMovieView"));
    auto* boxLayout = new QVBoxLayout(screen._QuickLook_View_Box);
    boxLayout->addWidget(screen._QuickLook_View, 1);
    boxLayout->addWidget(screen.mMovieView, 1);
    split->setChildrenCollapsible(false);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setStretchFactor(2, 3);
    screen._open_folder_Sig = new QPushButton(QStringLiteral("Open Folder"), area);
    screen._open_folder_Sig->setObjectName(QStringLiteral("_open_folder_Sig"));
    screen._save_found_files_Sig = saveButton(QStringLiteral("_save_found_files_Sig"), area);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(screen._save_found_files_Sig);
    row->addWidget(screen._open_folder_Sig);
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(split, 1);
    layout->addLayout(row);
    return area;
}

} // namespace

QList<QWidget*> SearchScreen::progressControls() const
{
    return {_Progress_Horz, passSpeedLabel, _sector_label, _Mode_label, _stop_scan};
}

SaveOptions SearchScreen::saveOptions() const
{
    return {leaveOutDamagedBox->isChecked(), nameByDateBox->isChecked()};
}

void SearchScreen::showTotals(const FoundFileList& found)
{
    const int files = found.rowCount();
    QString text = QString::number(files) + (files == 1 ? QStringLiteral(" file found") : QStringLiteral(" files found"));
    if (found.measuredCount() > 0)
        text += QStringLiteral(", ")
              + sizeText(found.measuredBytes()) + QStringLiteral(" to save");
    if (found.measuredCount() > 0 && found.measuredCount() < files)
        text += QStringLiteral(" (") + QString::number(found.measuredCount()) + QStringLiteral(" measured)");
    foundTotalsLabel->setText(text);
}

SearchScreen buildSearchScreen(QWidget* parent)
{
    SearchScreen screen;
    screen.page = new QWidget(parent);
    screen.page->setObjectName(QStringLiteral("searchPage"));
    screen._Mode_label = new QLabel(screen.page);
    screen._Mode_label->setObjectName(QStringLiteral("_Mode_label"));
    screen._sector_label = new QLabel(QStringLiteral("Sectors 0 of 0"), screen.page);
    screen._sector_label->setObjectName(QStringLiteral("_sector_label"));
    screen._Progress_Horz = new QProgressBar(screen.page);
    screen._Progress_Horz->setObjectName(QStringLiteral("_Progress_Horz"));
    screen._Progress_Horz->setRange(0, 1); // (0,0) would draw a busy bar
    screen._Progress_Horz->setValue(0);
    screen._Progress_Horz->setTextVisible(false);
    screen.passSpeedLabel = new QLabel(screen.page);
    screen.passSpeedLabel->setObjectName(QStringLiteral("passSpeedLabel"));
    screen._stop_scan = new QPushButton(QStringLiteral("Stop"), screen.page);
    screen._stop_scan->setObjectName(QStringLiteral("_stop_scan"));
    screen.photoArea = buildPhotoArea(screen);
    screen.rawArea = buildRawArea(screen);
    screen.foundTotalsLabel = new QLabel(screen.page);
    screen.foundTotalsLabel->setObjectName(QStringLiteral("foundTotalsLabel"));
    screen.leaveOutDamagedBox = new QCheckBox(QStringLiteral("Leave out damaged files"), screen.page);
    screen.leaveOutDamagedBox->setObjectName(QStringLiteral("leaveOutDamagedBox"));
    screen.nameByDateBox = new QCheckBox(QStringLiteral("Name photos and videos by the date they were taken"), screen.page);
    screen.nameByDateBox->setObjectName(QStringLiteral("nameByDateBox"));
    screen.sortBox = new QComboBox(screen.page);
    screen.sortBox->setObjectName(QStringLiteral("sortBox"));
    screen.sortBox->addItems({QStringLiteral("In the order found"), QStringLiteral("Sort by name"),
                              QStringLiteral("Sort by size"), QStringLiteral("Sort by date taken"),
                              QStringLiteral("Sort by condition")});
    screen.hideSmallFilesBox = new QCheckBox(QStringLiteral("Hide files under 10 KB"), screen.page);
    screen.hideSmallFilesBox->setObjectName(QStringLiteral("hideSmallFilesBox"));
    const auto applyOrder = [browsers = QList<ImageBrowserView*>{screen.imageBrowser, screen.imageBrowser_2},
                             sortBox = screen.sortBox, hideBox = screen.hideSmallFilesBox] {
        const int chosen = sortBox->currentIndex();
        const auto sort = chosen > 0 ? std::optional(static_cast<ResultSort>(chosen - 1)) : std::nullopt;
        for (ImageBrowserView* browser : browsers)
            browser->setOrder(sort, hideBox->isChecked());
    };
    QObject::connect(screen.sortBox, &QComboBox::currentIndexChanged, screen.page, applyOrder);
    QObject::connect(screen.hideSmallFilesBox, &QCheckBox::toggled, screen.page, applyOrder);
    // The totals change as files are measured: they must never widen the window.
    screen.foundTotalsLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* orderRow = new QHBoxLayout;
    orderRow->addWidget(screen.foundTotalsLabel, 1);
    orderRow->addWidget(screen.sortBox);
    orderRow->addWidget(screen.hideSmallFilesBox);
    auto* savingRow = new QHBoxLayout;
    savingRow->addStretch(1);
    savingRow->addWidget(screen.leaveOutDamagedBox);
    savingRow->addWidget(screen.nameByDateBox);

    auto* progressRow = new QHBoxLayout;
    progressRow->addWidget(screen._Progress_Horz, 1);
    progressRow->addWidget(screen._stop_scan);
    auto* layout = new QVBoxLayout(screen.page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(screen.photoArea, 1);
    layout->addWidget(screen.rawArea, 1);
    layout->addLayout(orderRow);
    layout->addLayout(savingRow);
    layout->addWidget(screen._Mode_label);
    layout->addWidget(screen._sector_label);
    layout->addLayout(progressRow);
    layout->addWidget(screen.passSpeedLabel);
    return screen;
}

} // namespace salvyn
