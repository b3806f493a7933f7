#pragma once
// "Save Found Files…": copies found files from the medium into the destination folder on a
// worker thread, with a progress dialog and Cancel, and adds each saved file to the
// folder's recovery report. A folder on the medium's disk is refused before anything is
// read. A save that stops (full disk, folder gone, refused) says which file and why, with
// the system's reason, and offers to choose another folder; the files saved before it
// stay, and the report lists exactly those.
//
// UI thread only. While isSaving() the owner starts no search or preview on the same
// state; the worker reads the medium through a stream of its own.
#include "results/samedevice.h"
#include "results/savejob.h"
#include "results/savewriter.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QThread;
class QTimer;
class QWidget;

namespace salvyn {

class AlertService;
class SaveFoundFilesDialog;
class SectorSourceOpener;

class SaveFoundFiles final : public QObject {
    Q_OBJECT
public:
    // Whether a folder may take files read from a medium (by identifier).
    using DestinationCheck = std::function<DestinationProblem(const QString& folder, const std::string& medium)>;
    static DestinationProblem checkOnThisSystem(const QString& folder, const std::string& medium);
    // The alert for a destination folder that is not there (any more).
    static QString destinationFolderMissing() { return QStringLiteral("\nThe destination folder does not exist."); }

    SaveFoundFiles(QWidget* controlPanel, AlertService& alerts, SectorSourceOpener& opener,
                   DestinationCheck check = checkOnThisSystem, SaveWriter& writer = fileSystemWriter());
    ~SaveFoundFiles() override; // a save still running is cancelled and waited for

    // Starts saving the `chosen` ones (indices) of the search's `found` files of `medium`
    // into `folder`, as `options` say. False, after an alert saying why, when the save cannot start; true
    // when the worker runs (finished() follows), which opens the medium first.
    bool start(const std::vector<FileToSave>& found, std::vector<std::size_t> chosen, const QString& folder,
               const std::string& medium, SaveOptions options = {});
    bool isSaving() const { return m_job != nullptr; }
    // The dialog of the running save, or null.
    SaveFoundFilesDialog* progressDialog() const { return m_dialog; }

signals:
    // The save has ended and its closing alert has been answered.
    void finished();
    // The destination would not take the files and the user asked to choose another one.
    void anotherFolderWanted();

private:
    bool refuse(const QString& message, const QString& informativeText = {});
    // An alert about the destination that offers to choose another; true when chosen.
    bool anotherFolderChosen(const QString& message, const QString& informativeText);
    bool offerAnotherFolder(const QString& message, const QString& informativeText);
    bool refuseDestination(DestinationProblem problem, const QString& folder);
    void workerEnded();
    // True when the user asked to choose another folder.
    bool reportOutcome(const SaveOutcome& outcome);

    QWidget* m_controlPanel;
    AlertService& m_alerts;
    SectorSourceOpener& m_opener;
    DestinationCheck m_check;
    SaveWriter& m_writer;

    QString m_folder; // of the running save
    std::unique_ptr<SaveJob> m_job;
    std::string m_openError; // the worker's, when the medium would not open
    SaveOutcome m_outcome;
    QThread* m_worker = nullptr;
    QTimer* m_statusTimer = nullptr;
    SaveFoundFilesDialog* m_dialog = nullptr;
};

} // namespace salvyn
