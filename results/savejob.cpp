#include "results/savejob.h"

#include "results/capturedetails.h"
#include "results/datedname.h"
#include "results/filecondition.h"
#include "results/recentsectors.h"
#include "results/recoveryreport.h"
#include "results/sectorbytereader.h"
#include "scan/naming.h"

namespace salvyn {

SaveJob::SaveJob(const std::vector<FileToSave>& found, std::vector<std::size_t> chosen, std::filesystem::path folder,
                 std::string medium, SaveWriter& writer, SaveOptions options)
    : m_chosen(std::move(chosen)), m_folder(std::move(folder)), m_medium(std::move(medium)), m_writer(writer),
      m_options(options)
{
    m_fileCount = m_chosen.size();
    for (const FileToSave& file : found) {
        m_plan.add(file.name, file.firstSector, file.endSector);
        m_measured.push_back(file.length);
    }
    m_plan.setSearchedEnd(options.searchedEnd);
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
    // Every length is known before the first file is written, so the total shown is what will
    // be written, not the ranges the search listed. Lengths the results measured already are
    // taken as they are, so those files are read once, by their copy; of the files measured
    // here, the last ones are copied from what their walks read, as far as it is kept.
    RecentSectorsStream recent(medium);
    SectorByteReader reader(recent);
    std::vector<SaveLength> lengths;
    std::vector<std::size_t> saving;
    std::uint64_t total = 0;
    for (const std::size_t index : m_chosen) {
        const SaveLength length = m_measured[index] ? *m_measured[index] : m_plan.lengthOf(index, reader);
        if (m_options.leaveOutDamaged
            && fileConditionOf(pathExtension(m_plan.name(index)), length.source) == FileCondition::Damaged) {
            ++outcome.leftOutDamaged;
            continue;
        }
        saving.push_back(index);
        lengths.push_back(length);
        total += length.bytes;
    }
    m_fileCount = saving.size();
    m_byteCount = total;
    for (std::size_t k = 0; k < saving.size(); ++k) {
        if (m_cancel) {
            outcome.cancelled = true;
            break;
        }
        const std::size_t index = saving[k];
        setCurrentFile(m_plan.name(index));
        SavedFile saved = m_plan.save(index, lengths[k], saver, recent, savedNameOf(index, lengths[k], reader));
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
    status.fileCount = m_fileCount;
    status.bytesDone = m_bytesDone;
    status.byteCount = m_byteCount;
    return status;
}

std::string SaveJob::savedNameOf(std::size_t index, const SaveLength& length, ByteReader& medium) const
{
    if (!m_options.nameByDate)
        return {};
    const std::string& name = m_plan.name(index);
    const CaptureDetails details =
        captureDetailsOf(medium, pathExtension(name), m_plan.firstSector(index) * kSectorSize, length.bytes);
    return details.taken ? datedFileName(*details.taken, name) : std::string();
}

void SaveJob::setCurrentFile(const std::string& name)
{
    std::lock_guard lock(m_currentFileMutex);
    m_currentFile = name;
}

} // namespace salvyn
