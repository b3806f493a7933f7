#include "results/savejob.h"

#include "results/recoveryreport.h"
#include "results/sectorbytereader.h"

namespace salvyn {

SaveJob::SaveJob(const std::vector<FileToSave>& found, std::vector<std::size_t> chosen, std::filesystem::path folder,
                 std::string medium, SaveWriter& writer)
    : m_chosen(std::move(chosen)), m_folder(std::move(folder)), m_medium(std::move(medium)), m_writer(writer)
{
    for (const FileToSave& file : found)
        m_plan.add(file.name, file.firstSector, file.endSector);
}

SaveOutcome SaveJob::run(SectorStream& medium)
{
    SaveOutcome outcome;
    RecoveryReport report(m_folder / RecoveryReport::fileName, m_medium);
    if ((outcome.reportError = report.openError()) != 0)
        return outcome;
    FileSaver saver(m_folder, m_writer);
    saver.setKeepGoing([this](std::uint64_t bytes) {
        m_bytesDone += bytes;
        return !m_cancel.load();
    });
    // Every length is measured before the first file is written, so the total shown is what
    // will be written, not the ranges the search listed.
    SectorByteReader reader(medium);
    std::vector<SaveLength> lengths;
    std::uint64_t total = 0;
    for (const std::size_t index : m_chosen) {
        lengths.push_back(m_plan.lengthOf(index, reader));
        total += lengths.back().bytes;
    }
    m_byteCount = total;
    for (std::size_t k = 0; k < m_chosen.size(); ++k) {
        if (m_cancel) {
            outcome.cancelled = true;
            break;
        }
        const std::size_t index = m_chosen[k];
        setCurrentFile(m_plan.name(index));
        SavedFile saved = m_plan.save(index, lengths[k], saver, medium);
        if (saved.cancelled) {
            outcome.cancelled = true;
            break;
        }
        if (!saved.error.empty()) {
            outcome.failed = std::move(saved);
            break;
        }
        outcome.reportError = report.add(saved);
        outcome.saved.push_back(std::move(saved));
        ++m_filesDone;
        if (outcome.reportError != 0)
            break;
    }
    setCurrentFile({});
    return outcome;
}

SaveStatus SaveJob::status() const
{
    SaveStatus status;
    {
        std::lock_guard lock(m_currentFileMutex);
        status.currentFile = m_currentFile;
    }
    status.filesDone = m_filesDone;
    status.fileCount = m_chosen.size();
    status.bytesDone = m_bytesDone;
    status.byteCount = m_byteCount;
    return status;
}

void SaveJob::setCurrentFile(const std::string& name)
{
    std::lock_guard lock(m_currentFileMutex);
    m_currentFile = name;
}

} // namespace salvyn
