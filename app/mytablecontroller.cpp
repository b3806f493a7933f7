#include "app/mytablecontroller.h"

#include "app/criteriascreen.h"
#include "app/infowindows.h"
#include "app/modalwindowrunner.h"
#include "app/pressedscreen.h"
#include "app/previewbox.h"
#include "app/windowcolour.h"
#include "app/wizardtexts.h"
#include "media/qt/medialist.h"
#include "platform/qt/alertservice.h"
#include "results/previewfolder.h"
#include "results/ui/destinationfolder.h"
#include "results/ui/foundfiledetailsjob.h"
#include "results/ui/foundfilelist.h"
#include "results/ui/resultstablemodel.h"
#include "results/ui/savefoundfiles.h"
#include "results/ui/videothumbnails.h"
#include "scan/searchrun.h"
#include "signatures/qt/checklistmodel.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <sstream>

namespace salvyn {

MyTableController::MyTableController(ControllerServices services, QWidget* parent)
    : QWidget(parent), m_services(std::move(services)), m_checkList(new CheckListModel(this)),
      m_resultsTable(new ResultsTableModel(this)),
      m_mediaList(new MediaList(std::move(m_services.volumeLister), std::move(m_services.diskInfoProvider), this)),
      m_images(new FoundFileList(*m_services.icons, *m_resultsTable, [this] { return static_cast<int>(mode()); }, this)),
      m_search(this, *this, *m_images, *m_services.opener,
               [this](const ProgressDisplay& display) { m_window.showProgress(display); })
{
    setObjectName(QStringLiteral("controlPanel"));
    setWindowTitle(QStringLiteral("Korvia - Salvyn"));
    resize(900, 640);
    m_window.build(this, m_checkList, m_resultsTable, m_images);
    m_mediaList->setIdTableView(m_window.media.idTableView);
    m_mediaList->setControlPanel(this);
    m_destination = new DestinationFolder(this, m_window.criteria->pathField(), m_window.criteriaSig->pathField(),
                                          *m_services.modalRunner, *m_services.folderChooser);
    m_saver = new SaveFoundFiles(this, *m_services.alerts, *m_services.opener);
    m_details = new FoundFileDetailsJob(*m_images, *m_services.opener, this);
    m_pictures = new VideoThumbnails(*m_images, *m_services.opener, m_services.frameDecoders, this);
    connect(m_saver, &SaveFoundFiles::anotherFolderWanted, this, &MyTableController::chooseFolderThenSave);
    m_saveFileInfo = new SaveFile_Info(this);
    m_saveFileInfoForRaw = new SaveFile_Info_For_RAW(this);
    PreviewPresenter::Hooks hooks{[this] { return QString::fromStdString(m_wizard.diskIdentifier()); },
                                  [this] { showFinalScreenOnce(m_search.state(), *this); }};
    // A save reads the medium and holds the window meanwhile.
    m_preview = std::make_unique<PreviewBox>(this, m_window.search, m_services, m_search.state(), std::move(hooks),
                                             [this] { return static_cast<int>(mode()); },
                                             [this] { return m_saver->isSaving(); });
    m_pressedScreen = new PressedScreen([this] { return m_wizard.screen(); }, this);
    m_pressedScreen->watch(m_window.Next_btn);
    m_pressedScreen->watch(m_window.Back_btn);
    m_window.connectTo(*this, *m_mediaList, *m_destination);
}

MyTableController::~MyTableController()
{
    m_quitting = true;
    m_search.stop(-1);
}

void MyTableController::awakeFromNib()
{
    applyWindowColour(*this);
    show();
    raise();
    activateWindow();
    m_window.criteria->thoroughBox()->setChecked(true);
    setRecoveryMode(RecoveryMode::Photo);
    setHelp(texts::kHelpMedia);
    Reload_Drive_list_Function();
    m_images->removeAllImages();
    m_window.resetZoom();
    std::ostringstream warnings;
    m_wizard.setSignatureLists(loadSignatureLists(m_services.resourceFolder.toStdString(), warnings));
    for (const QString& line : QString::fromStdString(warnings.str()).split(u'\n', Qt::SkipEmptyParts))
        qWarning("%s", qPrintable(line));
    QFile placeholder(m_services.resourceFolder + QStringLiteral("/NoPreview.png"));
    m_images->setNull_Image_Data(placeholder.open(QIODevice::ReadOnly) ? placeholder.readAll() : QByteArray());
    m_window.search._Progress_Horz->setValue(0);
    m_checkList->sortByExtension();
    removePreviewFiles(); // a crashed run's recovered data does not outlive it
}

void MyTableController::Reload_Drive_list_Function()
{
    m_mediaList->Reload_Drive_list_Function();
}

std::optional<MediaList::Refusal> MyTableController::addDiskImage(const QString& path)
{
    return m_mediaList->addDiskImage(path);
}

void MyTableController::chooseDiskImage()
{
    auto* chooser = new QFileDialog(this, QStringLiteral("Add Disk Image"));
    chooser->setFileMode(QFileDialog::ExistingFile);
    chooser->setAttribute(Qt::WA_DeleteOnClose);
    connect(chooser, &QFileDialog::fileSelected, this, [this](const QString& path) {
        if (const auto refusal = addDiskImage(path))
            m_services.alerts->message(this, refusal->headline, refusal->reason);
    });
    chooser->open();
}

void MyTableController::setHelp(const QString& text)
{
    m_window.showHelp(text);
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

void MyTableController::Help_btn()
{
    Help_Support help(m_services.resourceFolder, *m_services.documents, *m_services.alerts, this);
    m_services.modalRunner->runModal(help);
}

void MyTableController::About_btn()
{
    raise();
    AboutWindow about(this);
    m_services.modalRunner->runModal(about);
}

bool MyTableController::Exit_App()
{
    if (m_quitting) // the termination closes the window: the question was answered already
        return true;
    if (!m_services.alerts->question(this, texts::kExitQuestion))
        return false;
    m_quitting = true; // a search still running must not put windows up or touch what goes
    const bool stopped = m_search.stop(3000); // a stuck thread is waited for 3 s at most
    removePreviewFiles(); // the current preview file lives there too
    m_services.terminate(!stopped);
    return true;
}

void MyTableController::removePreviewFiles()
{
    if (!m_services.previewFolder.isEmpty() && QFileInfo(m_services.previewFolder).isDir())
        PreviewFolder(QFile::encodeName(m_services.previewFolder).toStdString()).removePreviewFiles();
}

void MyTableController::closeEvent(QCloseEvent* event)
{
    event->setAccepted(Exit_App());
}

QString MyTableController::preview_file_path() const
{
    return m_preview->presenter().preview_file_path();
}

} // namespace salvyn
