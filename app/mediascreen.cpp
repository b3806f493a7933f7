#include "app/mediascreen.h"

#include <QAbstractItemView>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace salvyn {

QList<QWidget*> MediaScreen::controls() const
{
    QList<QWidget*> all{page, idTableView, refreshBox, refreshLabel, refreshButton, addDiskImageButton, _rec_mode_Box};
    for (QRadioButton* radio : modeRadios)
        all << radio;
    return all;
}

MediaScreen buildMediaScreen(QWidget* parent)
{
    MediaScreen screen;
    screen.page = new QWidget(parent);
    screen.page->setObjectName(QStringLiteral("mediaPage"));

    screen.idTableView = new QTableView(screen.page);
    screen.idTableView->setObjectName(QStringLiteral("idTableView"));
    screen.idTableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    screen.idTableView->setSelectionMode(QAbstractItemView::SingleSelection);
    screen.idTableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Columns fit their contents; the media list gives the device path the spare room.
    screen.idTableView->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    screen.idTableView->setWordWrap(false);
    screen.idTableView->setTextElideMode(Qt::ElideMiddle);
    screen.idTableView->verticalHeader()->hide();

    screen.refreshBox = new QGroupBox(screen.page);
    screen.refreshBox->setObjectName(QStringLiteral("_refresh_Box"));
    screen.refreshLabel = new QLabel(
        QStringLiteral("Inserted a card or a USB stick after start? Press \u2018Refresh\u2019 to list it."),
        screen.refreshBox);
    screen.refreshLabel->setObjectName(QStringLiteral("_refresh_label"));
    screen.refreshLabel->setWordWrap(true);
    screen.refreshButton = new QPushButton(QStringLiteral("Refresh"), screen.refreshBox);
    screen.refreshButton->setObjectName(QStringLiteral("rebresh_drives"));
    screen.addDiskImageButton = new QPushButton(QStringLiteral("Add Disk Image\u2026"), screen.refreshBox);
    screen.addDiskImageButton->setObjectName(QStringLiteral("addDiskImage"));
    auto* refreshLayout = new QHBoxLayout(screen.refreshBox);
    refreshLayout->addWidget(screen.refreshLabel, 1);
    refreshLayout->addWidget(screen.addDiskImageButton);
    refreshLayout->addWidget(screen.refreshButton);

    screen._rec_mode_Box = new QGroupBox(QStringLiteral("Search Mode"), screen.page);
    screen._rec_mode_Box->setObjectName(QStringLiteral("_rec_mode_Box"));
    static const char* const names[] = {"_rec_mode_Photo", "_rec_mode_Video", "_rec_mode_RawFile", "_rec_mode_Audio"};
    static const char* const captions[] = {"Photo", "Video", "Raw File", "Audio"};
    auto* modeLayout = new QHBoxLayout(screen._rec_mode_Box);
    for (int mode = 0; mode < 4; ++mode) {
        auto* radio = new QRadioButton(QString::fromLatin1(captions[mode]), screen._rec_mode_Box);
        radio->setObjectName(QString::fromLatin1(names[mode]));
        radio->setAutoExclusive(false); // the mode actions set all four themselves
        screen.modeRadios[mode] = radio;
        modeLayout->addWidget(radio);
    }
    modeLayout->addStretch(1);
    screen.modeRadios[0]->setChecked(true);

    auto* layout = new QVBoxLayout(screen.page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(screen.idTableView, 1);
    layout->addWidget(screen.refreshBox);
    layout->addWidget(screen._rec_mode_Box);
    return screen;
}

} // namespace salvyn
