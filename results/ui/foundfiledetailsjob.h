#pragma once
// Measures the details of every found file of a finished search on a thread of its own:
// the saving plan's length, the condition, the capture date and camera, and for pictures
// whether they decode at all. Hands them to the found-file list in batches on the UI
// thread. A new start, or an emptied list, gives up a measure still running without
// waiting for it; the end of the job waits for every one.
//
// start() and the destructor on the UI thread; the list must outlive the job.
#include "results/foundfiledetails.h"
#include "results/savejob.h"

#include <QObject>
#include <QPointer>
#include <QThread>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace salvyn {

class FoundFileList;
class SectorSourceOpener;

class FoundFileDetailsJob final : public QObject {
    Q_OBJECT
public:
    FoundFileDetailsJob(FoundFileList& images, SectorSourceOpener& opener, QObject* parent = nullptr);
    ~FoundFileDetailsJob() override;

    // Measures `found` (the list's rows, in order) as read from `medium`, up to `searchedEnd`.
    void start(std::vector<FileToSave> found, std::string medium, std::uint64_t searchedEnd);
    // Gives up the running measure; its thread ends on its own.
    void cancel();

private:
    void measure(const std::vector<FileToSave>& found, const std::string& medium, std::uint64_t searchedEnd,
                 const std::shared_ptr<std::atomic<bool>>& cancelled);

    FoundFileList& m_images;
    SectorSourceOpener& m_opener;
    QThread* m_thread = nullptr;
    std::vector<QPointer<QThread>> m_givenUp; // still ending
    std::shared_ptr<std::atomic<bool>> m_cancelled;
};

} // namespace salvyn
