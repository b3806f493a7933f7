#include "app/mytablecontroller.h"

#include "app/criteriascreen.h"
#include "app/infowindows.h"
#include "app/modalwindowrunner.h"
#include "app/wizardtexts.h"
#include "media/qt/medialist.h"
#include "platform/qt/alertservice.h"
#include "results/previewfolder.h"
#include "results/ui/destinationfolder.h"
#include "results/ui/foundfilelist.h"
#include "results/ui/imagebrowserview.h"
#include "results/ui/previewdisplay.h"
#include "results/ui/previewpresenter.h"
#include "results/ui/previewrenderer.h"
#include "results/ui/resultstablemodel.h"
#include "results/ui/savefoundfiles.h"
#include "scan/qt/foundfilelistsink.h"
#include "scan/qt/searchthreads.h"
#include "scan/qt/uithreadscanhost.h"
#include "scan/scancontext.h"
#include "scan/searchrun.h"
#include "signatures/qt/checklistmodel.h"

#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTableView>
#include <sstream>

namespace salvyn {

MyTableController::MyTableController(ControllerServices services, QWidget* parent)
    : QWidget(parent), m_services(std::move(services)), m_checkList(new CheckListModel(this)),
      m_resultsTable(new ResultsTableModel(this)), m_threads(new SearchThreads(this))
{
    m_mediaList = new MediaList(std::move(m_services.volumeLister), std::move(m_services.diskInfoProvider), this);
    m_images = new FoundFileList(*m_services.icons, *m_resultsTable, [this] { return static_cast<int>(mode()); }, this);
    m_workerHost = std::make_unique<UiThreadScanHost>(this, *this);
    m_workerSink = std::make_unique<FoundFileListSink>(*m_images);
    setObjectName(QStringLiteral("controlPanel"));
    setWindowTitle(QStringLiteral("Korvia - Salvyn"));
    resize(900, 640);
    m_window.build(this, m_checkList);
    buildComponents();
    connectActions();
}

MyTableController::~MyTableController()
{
    m_quitting = true;
    m_state.stop_now = 1;
    m_threads->stopTicker();
    m_threads->waitUntilFinished(-1);
    delete m_threads; // before the context the threads worked with goes
    m_threads = nullptr;
}

void MyTableController::buildComponents()
{
    const SearchScreen& search = m_window.search;
    m_mediaList->setIdTableView(m_window.media.idTableView);
    m_mediaList->setControlPanel(this);
    search.imageBrowser->setFoundFileList(m_images);
    search.imageBrowser_2->setFoundFileList(m_images);
    search.idSigTableView->setModel(m_resultsTable);
    m_destination = new DestinationFolder(this, m_window.criteria->pathField(), m_window.criteriaSig->pathField(),
                                          *m_services.modalRunner, *m_services.folderChooser);
    m_saver = new SaveFoundFiles(this, *m_services.alerts, *m_services.opener);
    m_saveFileInfo = new SaveFile_Info(this);
    m_saveFileInfoForRaw = new SaveFile_Info_For_RAW(this);
    m_previewFolder = std::make_unique<PreviewFolder>(QFile::encodeName(m_services.previewFolder).toStdString());
    m_renderer = std::make_unique<PreviewRenderer>();
    MoviePlayer* movie = m_services.moviePlayerIn(search.mMovieView);
    m_display = std::make_unique<PreviewDisplay>(
        PreviewViews{search._QuickLook_View_Box, search._QuickLook_View, search.mMovieView}, *movie, *m_renderer,
        *m_services.icons, [this] { return static_cast<int>(mode()); });
    PreviewPresenter::Hooks hooks{[this] { return QString::fromStdString(m_wizard.diskIdentifier()); },
                                  [this] { showFinalScreenOnce(m_state, *this); }};
    m_presenter = std::make_unique<PreviewPresenter>(this, *m_services.opener, m_state, *m_previewFolder, *m_display,
                                                     std::move(hooks));
    connect(search.imageBrowser_2, &ImageBrowserView::previewRequested, this, [this](const MyImageObject& found) {
        if (!m_saver->isSaving()) // a save reads the medium and holds the window meanwhile
            m_presenter->previewFoundFile(found.path, found.File_Start_Sector, found.File_End_Sector);
    });
}

void MyTableController::connectActions()
{
    const WizardWindow& w = m_window;
    connect(w.Next_btn, &QPushButton::clicked, this, &MyTableController::Next_btn);
    connect(w.Back_btn, &QPushButton::clicked, this, &MyTableController::Back_btn);
    connect(w.Exit_Btn, &QPushButton::clicked, this, &MyTableController::Exit_Btn);
    connect(w.Help_btn, &QPushButton::clicked, this, &MyTableController::Help_btn);
    connect(w.About_btn, &QPushButton::clicked, this, &MyTableController::About_btn);
    connect(w.media.modeRadios[0], &QRadioButton::clicked, this, &MyTableController::Photo_Mode_Radio);
    connect(w.media.modeRadios[1], &QRadioButton::clicked, this, &MyTableController::Video_Mode_Radio);
    connect(w.media.modeRadios[2], &QRadioButton::clicked, this, &MyTableController::RawFile_Mode_Radio);
    connect(w.media.modeRadios[3], &QRadioButton::clicked, this, &MyTableController::Audio_Mode_Radio);
    connect(w.checkList._select_unselect_Chk, &QCheckBox::clicked, this, &MyTableController::Select_Unselect_Check_btn);
    connect(w.checkList.idCheckTableView, &QTableView::clicked, this, &MyTableController::clickTable);
    connect(w.search._stop_scan, &QPushButton::clicked, this, &MyTableController::stop_usb_disk);
    connect(w.media.refreshButton, &QPushButton::clicked, m_mediaList, &MediaList::rebresh_drives);
    connect(w.media.addDiskImageButton, &QPushButton::clicked, this, [this] {
        auto* chooser = new QFileDialog(this, QStringLiteral("Add Disk Image"));
        chooser->setFileMode(QFileDialog::ExistingFile);
        chooser->setAttribute(Qt::WA_DeleteOnClose);
        connect(chooser, &QFileDialog::fileSelected, this, [this](const QString& path) {
            if (const QString refusal = addDiskImage(path); !refusal.isEmpty())
                m_services.alerts->message(this, QStringLiteral("\nThis disk image cannot be searched."), refusal);
        });
        chooser->open();
    });
    connect(w.criteria->browseButton(), &QPushButton::clicked, m_destination, &DestinationFolder::Browse_Path);
    connect(w.criteriaSig->browseButton(), &QPushButton::clicked, m_destination, &DestinationFolder::Browse_Path_Sig);
    for (QPushButton* save : {w.search._save_found_files, w.search._save_found_files_Sig})
        connect(save, &QPushButton::clicked, this, &MyTableController::Save_Found_Files);
    for (QPushButton* open : {w.search._open_folder, w.search._open_folder_Sig})
        connect(open, &QPushButton::clicked, this, &MyTableController::Open_Folder);
    connect(w.search._zoom_slider, &QSlider::valueChanged, this,
            [this](int value) { m_window.search.imageBrowser->setZoomValue(value / 100.0); });
    for (CriteriaScreen* criteria : {w.criteria, w.criteriaSig})
        connect(criteria, &CriteriaScreen::helpTextChanged, this, &MyTableController::setHelp);
}

void MyTableController::awakeFromNib()
{
    QPalette look = palette();
    look.setColor(QPalette::Window, QColor(241, 244, 250));
    setPalette(look);
    setAutoFillBackground(true);
    show();
    raise();
    activateWindow();
    m_window.criteria->thoroughBox()->setChecked(true);
    setRecoveryMode(RecoveryMode::Photo);
    setHelp(texts::kHelpMedia);
    Reload_Drive_list_Function();
    resetBrowsers();
    std::ostringstream warnings;
    m_wizard.setSignatureLists(loadSignatureLists(m_services.resourceFolder.toStdString(), warnings));
    for (const QString& line : QString::fromStdString(warnings.str()).split(u'\n', Qt::SkipEmptyParts))
        qWarning("%s", qPrintable(line));
    QFile placeholder(m_services.resourceFolder + QStringLiteral("/NoPreview.png"));
    if (placeholder.open(QIODevice::ReadOnly))
        m_nullImageData = placeholder.readAll();
    m_images->setNull_Image_Data(m_nullImageData);
    m_window.search._Progress_Horz->setValue(0);
    m_checkList->sortByExtension();
    removePreviewFiles(); // a crashed run's recovered data does not outlive it
}

void MyTableController::Reload_Drive_list_Function()
{
    m_mediaList->Reload_Drive_list_Function();
}

QString MyTableController::addDiskImage(const QString& path)
{
    return m_mediaList->addDiskImage(path);
}

void MyTableController::setHelp(const QString& text)
{
    m_window._help_info->setText(text);
}

void MyTableController::setRecoveryMode(RecoveryMode chosen)
{
    m_wizard.chooseMode(chosen);
    m_window.setModeRadios(mode());
}

void MyTableController::Select_Unselect_Check_btn()
{
    m_checkList->Select_Unselect(m_window.checkList._select_unselect_Chk->isChecked());
}

void MyTableController::clickTable(const QModelIndex& index)
{
    if (index.isValid() && index.model() == m_checkList
        && CheckListModel::columnIdentifier(index.column()) == QLatin1String("State"))
        m_window.checkList._select_unselect_Chk->setChecked(!m_checkList->anyUnchecked());
}

} // namespace salvyn
