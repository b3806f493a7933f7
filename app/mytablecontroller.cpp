#include "app/mytablecontroller.h"

#include "app/criteriascreen.h"
#include "app/infowindows.h"
#include "app/screenvisibility.h"
#include "media/qt/medialist.h"
#include "results/ui/destinationfolder.h"
#include "results/ui/foundfilelist.h"
#include "results/ui/imagebrowserview.h"
#include "results/previewfolder.h"
#include "results/ui/previewdisplay.h"
#include "results/ui/previewpresenter.h"
#include "results/ui/previewrenderer.h"
#include "results/ui/resultstablemodel.h"
#include "results/ui/savefoundfiles.h"
#include "scan/qt/foundfilelistsink.h"
#include "app/wizardtexts.h"
#include "platform/qt/alertservice.h"
#include "scan/progress.h"
#include "scan/qt/runonui.h"
#include "scan/qt/searchthreads.h"
#include "scan/qt/uithreadscanhost.h"
#include "scan/rangecheck.h"
#include "scan/scancontext.h"
#include "scan/searchrun.h"
#include "signatures/qt/checklistmodel.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTableView>
#include <QVBoxLayout>
#include <sstream>

namespace salvyn {
namespace {

const QColor kWindowColour(241, 244, 250);

QPushButton* button(const QString& name, const QString& text, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

} // namespace

MyTableController::MyTableController(ControllerServices services, QWidget* parent)
    : QWidget(parent), m_services(std::move(services)), m_checkList(new CheckListModel(this)),
      m_resultsTable(new ResultsTableModel(this)), m_threads(new SearchThreads(this))
{
    Recovery_MODE = 0;
    m_mediaList = new MediaList(std::move(m_services.volumeLister), std::move(m_services.diskInfoProvider), this);
    m_images = new FoundFileList(*m_services.icons, *m_resultsTable, [this] { return Recovery_MODE.load(); }, this);
    m_workerHost = std::make_unique<UiThreadScanHost>(this, *this);
    m_workerSink = std::make_unique<FoundFileListSink>(*m_images);
    buildWindow();
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

void MyTableController::buildWindow()
{
    setObjectName(QStringLiteral("controlPanel"));
    setWindowTitle(QStringLiteral("Korvia - Salvyn"));
    resize(900, 640);
    m_helpInfo = new QLabel(this);
    m_helpInfo->setObjectName(QStringLiteral("_help_info"));
    m_helpInfo->setWordWrap(true);
    m_helpInfo->setTextFormat(Qt::PlainText);
    m_helpInfo->setMinimumHeight(56);
    m_searchType = new QLabel(this);
    m_searchType->setObjectName(QStringLiteral("_Search_Type"));
    m_searchType->setHidden(true);
    m_diskIdentifier = new QLabel(texts::kNone, this);
    m_diskIdentifier->setObjectName(QStringLiteral("_disk_identifier"));
    m_diskIdentifier->setHidden(true);
    m_sectorsVal = new QLabel(texts::kNone, this);
    m_sectorsVal->setObjectName(QStringLiteral("_sectors_val"));
    m_sectorsVal->setHidden(true);

    m_media = buildMediaScreen(this);
    m_criteria = new CriteriaScreen(this, QString(), true);
    m_criteriaSig = new CriteriaScreen(this, QStringLiteral("_Sig"), false);
    m_checkListScreen = buildCheckListScreen(this, m_checkList);
    m_search = buildSearchScreen(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_helpInfo);
    layout->addWidget(m_searchType);
    for (QWidget* page : {m_media.page, m_criteria->page(), m_criteriaSig->page(), m_checkListScreen.page,
                          m_search.page})
        layout->addWidget(page, 1);
    layout->addWidget(buildButtonRow());

    // Only the media screen shows before the first Next.
    m_criteria->showHide(true);
    m_criteriaSig->showHide(true);
    setHiddenAll(m_checkListScreen.controls(), true);
    setHiddenAll({m_search.page, m_search.photoArea, m_search.rawArea, m_search.zoomCaption,
                  m_search._zoom_slider, m_search._open_folder, m_search._open_folder_Sig,
                  m_search._save_found_files, m_search._save_found_files_Sig, m_search._QuickLook_View,
                  m_search.mMovieView},
                 true);
    m_back->setEnabled(false);
}

void MyTableController::buildComponents()
{
    m_mediaList->setIdTableView(m_media.idTableView);
    m_mediaList->setControlPanel(this);
    m_search.imageBrowser->setFoundFileList(m_images);
    m_search.imageBrowser_2->setFoundFileList(m_images);
    m_search.idSigTableView->setModel(m_resultsTable);
    m_destination = new DestinationFolder(this, m_criteria->pathField(), m_criteriaSig->pathField(),
                                          *m_services.modalRunner, *m_services.folderChooser);
    m_saver = new SaveFoundFiles(this, *m_services.alerts, *m_services.opener);
    m_saveFileInfo = new SaveFile_Info(this);
    m_saveFileInfoForRaw = new SaveFile_Info_For_RAW(this);
    buildPreview();
}

void MyTableController::buildPreview()
{
    m_previewFolder = std::make_unique<PreviewFolder>(QFile::encodeName(m_services.previewFolder).toStdString());
    m_renderer = std::make_unique<PreviewRenderer>();
    MoviePlayer* movie = m_services.moviePlayerIn(m_search.mMovieView);
    m_display = std::make_unique<PreviewDisplay>(
        PreviewViews{m_search._QuickLook_View_Box, m_search._QuickLook_View, m_search.mMovieView}, *movie,
        *m_renderer, *m_services.icons, [this] { return Recovery_MODE.load(); });
    PreviewPresenter::Hooks hooks{[this] { return m_diskIdentifier->text(); },
                                  [this] { showFinalScreenOnce(m_state, *this); }};
    m_presenter = std::make_unique<PreviewPresenter>(this, *m_services.opener, m_state, *m_previewFolder, *m_display,
                                                     std::move(hooks));
    connect(m_search.imageBrowser_2, &ImageBrowserView::previewRequested, this, [this](const MyImageObject& found) {
        if (!m_saver->isSaving()) // a save reads the medium and holds the window meanwhile
            m_presenter->previewFoundFile(found.path, found.File_Start_Sector, found.File_End_Sector);
    });
}

QString MyTableController::preview_file_path() const
{
    return m_presenter->preview_file_path();
}

QWidget* MyTableController::buildButtonRow()
{
    auto* row = new QWidget(this);
    m_help = button(QStringLiteral("Help_btn"), QStringLiteral("Help"), row);
    m_about = button(QStringLiteral("About_btn"), QStringLiteral("About"), row);
    m_exit = button(QStringLiteral("Exit_Btn"), QStringLiteral("Exit"), row);
    m_back = button(QStringLiteral("Back_btn"), QStringLiteral("Back"), row);
    m_next = button(QStringLiteral("Next_btn"), QStringLiteral("Next"), row);
    m_next->setDefault(true);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_help);
    layout->addWidget(m_about);
    layout->addStretch(1);
    layout->addWidget(m_exit);
    layout->addWidget(m_back);
    layout->addWidget(m_next);
    return row;
}

void MyTableController::connectActions()
{
    connect(m_next, &QPushButton::clicked, this, &MyTableController::Next_btn);
    connect(m_back, &QPushButton::clicked, this, &MyTableController::Back_btn);
    connect(m_exit, &QPushButton::clicked, this, &MyTableController::Exit_Btn);
    connect(m_help, &QPushButton::clicked, this, &MyTableController::Help_btn);
    connect(m_about, &QPushButton::clicked, this, &MyTableController::About_btn);
    connect(m_media.modeRadios[0], &QRadioButton::clicked, this, &MyTableController::Photo_Mode_Radio);
    connect(m_media.modeRadios[1], &QRadioButton::clicked, this, &MyTableController::Video_Mode_Radio);
    connect(m_media.modeRadios[2], &QRadioButton::clicked, this, &MyTableController::RawFile_Mode_Radio);
    connect(m_media.modeRadios[3], &QRadioButton::clicked, this, &MyTableController::Audio_Mode_Radio);
    connect(m_checkListScreen._select_unselect_Chk, &QCheckBox::clicked, this,
            &MyTableController::Select_Unselect_Check_btn);
    connect(m_checkListScreen.idCheckTableView, &QTableView::clicked, this, &MyTableController::clickTable);
    connect(m_search._stop_scan, &QPushButton::clicked, this, &MyTableController::stop_usb_disk);
    connect(m_media.refreshButton, &QPushButton::clicked, m_mediaList, &MediaList::rebresh_drives);
    connect(m_media.addDiskImageButton, &QPushButton::clicked, this, &MyTableController::chooseDiskImage);
    connect(m_criteria->browseButton(), &QPushButton::clicked, m_destination, &DestinationFolder::Browse_Path);
    connect(m_criteriaSig->browseButton(), &QPushButton::clicked, m_destination,
            &DestinationFolder::Browse_Path_Sig);
    for (QPushButton* save : {m_search._save_found_files, m_search._save_found_files_Sig})
        connect(save, &QPushButton::clicked, this, &MyTableController::Save_Found_Files);
    for (QPushButton* open : {m_search._open_folder, m_search._open_folder_Sig})
        connect(open, &QPushButton::clicked, this, &MyTableController::Open_Folder);
    connect(m_search._zoom_slider, &QSlider::valueChanged, this,
            [this](int value) { m_search.imageBrowser->setZoomValue(value / 100.0); });
    for (CriteriaScreen* criteria : {m_criteria, m_criteriaSig})
        connect(criteria, &CriteriaScreen::helpTextChanged, this, &MyTableController::setHelp);
}

void MyTableController::awakeFromNib()
{
    QPalette look = palette();
    look.setColor(QPalette::Window, kWindowColour);
    setPalette(look);
    setAutoFillBackground(true);
    show();
    raise();
    activateWindow();
    m_criteria->thoroughBox()->setChecked(true);
    setRecoveryMode(0);
    setHelp(texts::kHelpMedia);
    Reload_Drive_list_Function();
    resetBrowsers();
    std::ostringstream warnings;
    m_lists = loadSignatureLists(m_services.resourceFolder.toStdString(), warnings);
    for (const QString& line : QString::fromStdString(warnings.str()).split(u'\n', Qt::SkipEmptyParts))
        qWarning("%s", qPrintable(line));
    QFile placeholder(m_services.resourceFolder + QStringLiteral("/NoPreview.png"));
    if (placeholder.open(QIODevice::ReadOnly))
        m_nullImageData = placeholder.readAll();
    m_images->setNull_Image_Data(m_nullImageData);
    m_search._Progress_Horz->setValue(0);
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

void MyTableController::chooseDiskImage()
{
    auto* chooser = new QFileDialog(this, QStringLiteral("Add Disk Image"));
    chooser->setFileMode(QFileDialog::ExistingFile);
    chooser->setAttribute(Qt::WA_DeleteOnClose);
    connect(chooser, &QFileDialog::fileSelected, this, [this](const QString& path) {
        const QString refusal = addDiskImage(path);
        if (!refusal.isEmpty())
            m_services.alerts->message(this, QStringLiteral("\nThis disk image cannot be searched."), refusal);
    });
    chooser->open();
}

void MyTableController::setHelp(const QString& text)
{
    m_helpInfo->setText(text);
}

void MyTableController::setRecoveryMode(int mode)
{
    Recovery_MODE = mode;
    for (int i = 0; i < 4; ++i)
        m_media.modeRadios[i]->setChecked(i == mode);
}

void MyTableController::Photo_Mode_Radio() { setRecoveryMode(0); }
void MyTableController::Video_Mode_Radio() { setRecoveryMode(1); }
void MyTableController::RawFile_Mode_Radio() { setRecoveryMode(2); }
void MyTableController::Audio_Mode_Radio() { setRecoveryMode(3); }

CriteriaScreen* MyTableController::criteriaOfMode() const
{
    return Recovery_MODE == 0 ? m_criteria : m_criteriaSig;
}

void MyTableController::setNextBackEnabled(bool enabled)
{
    m_next->setEnabled(enabled);
    m_back->setEnabled(enabled);
}

void MyTableController::show_hide_1_screen(bool hide)
{
    setHiddenAll(m_media.controls(), hide);
}

void MyTableController::show_hide_2_screen(bool hide)
{
    criteriaOfMode()->showHide(hide);
}

void MyTableController::show_hide_3_screen_Photo(bool hide)
{
    setHiddenAll({m_search.page, m_search.photoArea, m_search.imageBrowser}, hide);
    setHiddenAll(m_search.progressControls(), hide);
    m_search._save_found_files->setHidden(true); // the end of a search shows it
    setNextBackEnabled(hide);
}

void MyTableController::show_hide_3_screen_RawFile(bool hide)
{
    setHiddenAll(m_checkListScreen.controls(), hide);
}

void MyTableController::show_hide_4_screen_RawFile(bool hide)
{
    setHiddenAll({m_search.page, m_search.rawArea, m_search._open_folder_Sig, m_search.imageBrowser_2,
                  m_search.idSigTableView, m_search._QuickLook_View_Box},
                 hide);
    setHiddenAll(m_search.progressControls(), hide);
    m_search._save_found_files_Sig->setHidden(true); // the end of a search shows it
    setNextBackEnabled(hide);
    if (Recovery_MODE == 2) {
        m_search._QuickLook_View->setHidden(hide);
        m_display->clearImageView();
    } else {
        m_search.mMovieView->setHidden(hide);
        m_display->closemovie_Win();
    }
}

void MyTableController::Select_Unselect_Check_btn()
{
    m_checkList->Select_Unselect(m_checkListScreen._select_unselect_Chk->isChecked());
}

void MyTableController::clickTable(const QModelIndex& index)
{
    if (!index.isValid() || index.model() != m_checkList
        || CheckListModel::columnIdentifier(index.column()) != QLatin1String("State"))
        return;
    m_checkListScreen._select_unselect_Chk->setChecked(!m_checkList->anyUnchecked());
}

void MyTableController::stop_usb_disk()
{
    m_state.stop_now = 1;
}

} // namespace salvyn
