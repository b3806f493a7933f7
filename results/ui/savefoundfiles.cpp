#include "results/ui/savefoundfiles.h"

#include "platform/qt/alertservice.h"
#include "platform/rawdevicepath.h"
#include "platform/sectorsourceopener.h"
#include "results/recoveryreport.h"
#include "results/ui/savefoundfilesdialog.h"

#include <QFileInfo>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <cstring>

namespace salvyn {

namespace {

constexpr int kStatusIntervalMs = 100;

const QString kChooseAnotherFolder = QStringLiteral("Choose Another Folder\u2026");

// What went wrong in the user's words, with the system's own reason after it.
QString reasonFor(int errorNumber)
{
    QString what;
    switch (errorNumber) {
    case ENOSPC:
    case EDQUOT: what = QStringLiteral("There is no space left in the destination folder"); break;
    case ENOENT:
    case ENODEV:
    case ENXIO: what = QStringLiteral("The destination folder is no longer there"); break;
    case EACCES:
    case EPERM:
    case EROFS: what = QStringLiteral("The destination folder cannot be written to"); break;
    case EIO: what = QStringLiteral("The destination disk reported a write error"); break;
    default: what = QStringLiteral("The destination folder took no more files"); break;
    }
    return what + QStringLiteral(" (") + QString::fromLocal8Bit(std::strerror(errorNumber)) + QStringLiteral(").");
}

QString filesText(std::size_t count)
{
    return QString::number(count) + (count == 1 ? QStringLiteral(" file") : QStringLiteral(" files"));
}

// What stays in the folder after a save that did not end normally.
QString keptText(const SaveOutcome& outcome)
{
    if (outcome.saved.empty())
        return QStringLiteral("No file was saved.");
    const bool one = outcome.saved.size() == 1;
    return filesText(outcome.saved.size()) + QStringLiteral(" saved before it ")
         + (one ? QStringLiteral("stays in the folder and is listed in ") : QStringLiteral("stay in the folder and are listed in "))
         + QLatin1String(RecoveryReport::fileName) + QLatin1Char('.');
}

} // namespace

DestinationProblem SaveFoundFiles::checkOnThisSystem(const QString& folder, const std::string& medium)
{
    return destinationProblem(folder.toStdString(), rawDevicePath(medium).value_or(medium));
}

SaveFoundFiles::SaveFoundFiles(QWidget* controlPanel, AlertService& alerts, SectorSourceOpener& opener,
                               DestinationCheck check, SaveWriter& writer)
    : QObject(controlPanel), m_controlPanel(controlPanel), m_alerts(alerts), m_opener(opener),
      m_check(std::move(check)), m_writer(writer)
{
}

SaveFoundFiles::~SaveFoundFiles()
{
    if (!m_worker)
        return;
    m_job->cancel();
    m_worker->wait();
    delete m_worker;
    delete m_dialog;
}

bool SaveFoundFiles::start(const std::vector<FileToSave>& found, std::vector<std::size_t> chosen, const QString& folder,
                           const std::string& medium, SaveOptions options)
{
    if (isSaving())
        return false;
    if (chosen.empty())
        return refuse(QStringLiteral("\nThere are no found files to save."));
    if (!QFileInfo(folder).isDir())
        return offerAnotherFolder(destinationFolderMissing(), folder);
    if (const DestinationProblem problem = m_check(folder, medium); problem != DestinationProblem::None)
        return refuseDestination(problem, folder);
    m_folder = folder;
    m_job = std::make_unique<SaveJob>(found, std::move(chosen), folder.toStdString(), medium, m_writer, options);
    m_dialog = new SaveFoundFilesDialog(m_controlPanel);
    connect(m_dialog, &SaveFoundFilesDialog::cancelRequested, this, [this] { m_job->cancel(); });
    m_statusTimer = new QTimer(this);
    connect(m_statusTimer, &QTimer::timeout, this, [this] { m_dialog->showStatus(m_job->status()); });
    // Opening may wait for a password (udisks asks for one), so it is the worker's too.
    m_worker = QThread::create([this, medium] {
        const SectorSourceOpening opening = m_opener.open(medium);
        if (opening.stream)
            m_outcome = m_job->run(*opening.stream);
        else
            m_openError = opening.error.message;
    });
    connect(m_worker, &QThread::finished, this, &SaveFoundFiles::workerEnded, Qt::QueuedConnection);
    m_dialog->showStatus(m_job->status());
    m_dialog->show();
    m_statusTimer->start(kStatusIntervalMs);
    m_worker->start();
    return true;
}

bool SaveFoundFiles::refuse(const QString& message, const QString& informativeText)
{
    m_alerts.message(m_controlPanel, message, informativeText);
    return false;
}

bool SaveFoundFiles::anotherFolderChosen(const QString& message, const QString& informativeText)
{
    return m_alerts.runAlert(m_controlPanel, message, informativeText, {QStringLiteral("OK"), kChooseAnotherFolder})
        == kChooseAnotherFolder;
}

bool SaveFoundFiles::offerAnotherFolder(const QString& message, const QString& informativeText)
{
    if (anotherFolderChosen(message, informativeText))
        emit anotherFolderWanted();
    return false;
}

bool SaveFoundFiles::refuseDestination(DestinationProblem problem, const QString& folder)
{
    const QString danger = QStringLiteral("Saving there could overwrite the very files being recovered. "
                                          "Please choose a folder on another disk.");
    switch (problem) {
    case DestinationProblem::SameDevice:
        return offerAnotherFolder(QStringLiteral("\nThe destination folder is on the medium being recovered."), danger);
    case DestinationProblem::SameDisk:
        return offerAnotherFolder(QStringLiteral("\nThe destination folder is on the disk being recovered."), danger);
    case DestinationProblem::NotExaminable:
    case DestinationProblem::None:
        break;
    }
    return offerAnotherFolder(QStringLiteral("\nThe destination folder cannot be checked."),
                  QStringLiteral("It cannot be made sure that ") + folder
                      + QStringLiteral(" is not on the medium being recovered, where saving could overwrite the "
                                       "very files being recovered. Please choose another folder."));
}

void SaveFoundFiles::workerEnded()
{
    m_worker->wait(); // the outcome is complete and visible once the thread is gone
    delete m_worker;
    m_worker = nullptr;
    m_statusTimer->stop();
    m_statusTimer->deleteLater();
    m_statusTimer = nullptr;
    m_dialog->showStatus(m_job->status());
    m_dialog->finish();
    m_dialog->deleteLater();
    m_dialog = nullptr;
    m_job.reset();
    if (const std::string openError = std::exchange(m_openError, {}); !openError.empty()) {
        refuse(QStringLiteral("\nError in storage media reading."), QString::fromStdString(openError));
        return emit finished();
    }
    const SaveOutcome outcome = std::exchange(m_outcome, {});
    const bool anotherFolder = reportOutcome(outcome);
    emit finished();
    if (anotherFolder)
        emit anotherFolderWanted();
}

bool SaveFoundFiles::reportOutcome(const SaveOutcome& outcome)
{
    // A file or the report that could not be written is the folder's doing: another may take them.
    if (outcome.failed) {
        return anotherFolderChosen(
                         QStringLiteral("\nThe file “") + QString::fromStdString(outcome.failed->name)
                             + QStringLiteral("” could not be saved."),
                         reasonFor(outcome.failed->errorNumber) + QLatin1Char('\n') + keptText(outcome));
    }
    if (outcome.reportError != 0) {
        return anotherFolderChosen(QStringLiteral("\nThe recovery report “") + QLatin1String(RecoveryReport::fileName)
                             + QStringLiteral("” could not be written."),
                         reasonFor(outcome.reportError) + QLatin1Char('\n') + keptText(outcome));
    }
    if (outcome.cancelled) {
        m_alerts.message(m_controlPanel, QStringLiteral("\nSaving was cancelled."),
                         QStringLiteral("Nothing of the file being saved was kept. ") + keptText(outcome));
    } else {
        std::uint64_t unreadable = 0;
        for (const SavedFile& file : outcome.saved)
            unreadable += file.unreadableSectors;
        QString details = QStringLiteral("Each file is listed with its SHA-256 in ")
                        + QLatin1String(RecoveryReport::fileName) + QLatin1Char('.');
        if (unreadable > 0)
            details += QLatin1Char('\n') + QString::number(unreadable)
                     + QStringLiteral(" unreadable sectors were saved as zeros.");
        if (outcome.leftOutDamaged > 0)
            details += QLatin1Char('\n') + filesText(outcome.leftOutDamaged)
                     + QStringLiteral(" left out as damaged.");
        m_alerts.message(m_controlPanel,
                         QStringLiteral("\n") + filesText(outcome.saved.size()) + QStringLiteral(" saved in \u201C")
                             + m_folder + QStringLiteral("\u201D."),
                         details);
    }
    return false;
}

} // namespace salvyn
