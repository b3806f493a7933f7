#pragma once
// The first wizard screen: the media table, the refresh group, adding a disk image, and
// the four search-mode radios. Built once by the controller; UI thread only.
#include <QList>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableView;
class QWidget;

namespace salvyn {

struct MediaScreen {
    QWidget* page = nullptr;
    QTableView* idTableView = nullptr;
    QGroupBox* refreshBox = nullptr;
    QLabel* refreshLabel = nullptr;
    QPushButton* refreshButton = nullptr;
    QPushButton* addDiskImageButton = nullptr;
    QGroupBox* _rec_mode_Box = nullptr;
    QRadioButton* modeRadios[4] = {}; // _rec_mode_Photo, _rec_mode_Video, _rec_mode_RawFile, _rec_mode_Audio

    // Every control the screen's show/hide operation switches.
    QList<QWidget*> controls() const;
};

MediaScreen buildMediaScreen(QWidget* parent);

} // namespace salvyn
