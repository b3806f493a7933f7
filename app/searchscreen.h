#pragma once
// The search and result screen of both flows: progress (pass caption, sector label, bar,
// Stop) shared by both, the photo browser with its zoom, save and open-folder controls, and
// the other modes' browser beside the results table and the preview box, with their own
// save and open-folder buttons. UI thread only.
#include "results/savejob.h"

#include <QList>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSlider;
class QTableView;
class QWidget;

namespace salvyn {

class FoundFileList;
class ImageBrowserView;

struct SearchScreen {
    QWidget* page = nullptr;
    QLabel* _Mode_label = nullptr;
    QLabel* _sector_label = nullptr;
    QProgressBar* _Progress_Horz = nullptr;
    QLabel* passSpeedLabel = nullptr; // speed and time left, under the bar
    QPushButton* _stop_scan = nullptr;

    QWidget* photoArea = nullptr;
    ImageBrowserView* imageBrowser = nullptr;
    QLabel* zoomCaption = nullptr;
    QSlider* _zoom_slider = nullptr; // 0..100 stands for the zoom 0..1
    QPushButton* _open_folder = nullptr;
    QPushButton* _save_found_files = nullptr;

    QWidget* rawArea = nullptr;
    ImageBrowserView* imageBrowser_2 = nullptr;
    QTableView* idSigTableView = nullptr;
    QGroupBox* _QuickLook_View_Box = nullptr;
    QLabel* _QuickLook_View = nullptr;
    QWidget* mMovieView = nullptr;
    QPushButton* _open_folder_Sig = nullptr;
    QPushButton* _save_found_files_Sig = nullptr;

    // Under both browsers: how many files were found and what saving them all would write,
    // and how Save goes about them.
    QLabel* foundTotalsLabel = nullptr;
    QComboBox* sortBox = nullptr; // the order found, then the ResultSort values in order
    QCheckBox* hideSmallFilesBox = nullptr;
    QCheckBox* leaveOutDamagedBox = nullptr;
    QCheckBox* nameByDateBox = nullptr;

    QList<QWidget*> progressControls() const;
    SaveOptions saveOptions() const;
    void showTotals(const FoundFileList& found);
};

SearchScreen buildSearchScreen(QWidget* parent);

} // namespace salvyn
