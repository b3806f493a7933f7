#pragma once
// One save of found files into a folder: copies each chosen file from the medium, as long
// as the saving plan says, adds it to the folder's recovery report as soon as it is whole,
// and stops at the first file that cannot be written or when cancelled. What was saved
// before stays, and so do its report lines.
//
// Threads: run() on one worker thread; cancel() and status() from any thread.
#include "platform/sectorstream.h"
#include "results/filesaver.h"
#include "results/savingplan.h"
#include "results/savewriter.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace salvyn {

struct FileToSave {
    FileToSave(std::string name, std::uint64_t firstSector, std::uint64_t endSector,
               std::optional<SaveLength> length = std::nullopt)
        : name(std::move(name)), firstSector(firstSector), endSector(endSector), length(length)
    {
    }

    std::string name;
    std::uint64_t firstSector;
    std::uint64_t endSector; // exclusive
    // What the saving plan gave when the results measured it (the same plan over the same
    // files and range), so the save need not walk the file again; none: the save measures it.
    std::optional<SaveLength> length;
};

struct SaveOptions {
    bool leaveOutDamaged = false; // files whose format end was not found stay behind
    bool nameByDate = false;      // photos and videos take the date they were taken as name
    std::uint64_t searchedEnd = UINT64_MAX; // the search's range end: no format end is walked past it
};

struct SaveStatus {
    std::string currentFile; // the file being written; empty before the first and after the last
    std::uint64_t filesDone = 0;
    std::uint64_t fileCount = 0;
    std::uint64_t bytesDone = 0;
    std::uint64_t byteCount = 0; // what the saving plan will write; 0 while it is measured
};

struct SaveOutcome {
    std::vector<SavedFile> saved;    // whole files, in the order saved
    std::optional<SavedFile> failed; // the file that stopped the save, with its error
    int reportError = 0;             // errno of a report that could not be written
    std::uint64_t leftOutDamaged = 0; // chosen files not saved because they are damaged
    bool cancelled = false;
};

class SaveJob {
public:
    // `found` is every file of the search, in the order found (a file's length may end where
    // the next one starts); `chosen` are the indices in `found` of the files to save.
    SaveJob(const std::vector<FileToSave>& found, std::vector<std::size_t> chosen, std::filesystem::path folder,
            std::string medium, SaveWriter& writer = fileSystemWriter(), SaveOptions options = {});

    // Worker thread: saves the files, reading them from `medium`.
    SaveOutcome run(SectorStream& medium);

    // Any thread: the file being written is given up and nothing after it is started.
    void cancel() { m_cancel = true; }
    SaveStatus status() const;

    const std::filesystem::path& folder() const { return m_folder; }

private:
    void setCurrentFile(const std::string& name);
    // The date name the file at `index` is saved under, or empty for its found name.
    std::string savedNameOf(std::size_t index, const SaveLength& length, ByteReader& medium) const;

    SavingPlan m_plan;
    std::vector<std::optional<SaveLength>> m_measured; // by found file
    const std::vector<std::size_t> m_chosen;
    const std::filesystem::path m_folder;
    const std::string m_medium;
    SaveWriter& m_writer;
    const SaveOptions m_options;

    std::atomic<bool> m_cancel{false};
    std::atomic<std::uint64_t> m_filesDone{0};
    std::atomic<std::uint64_t> m_fileCount{0}; // the chosen files less those left out
    std::atomic<std::uint64_t> m_bytesDone{0};
    std::atomic<std::uint64_t> m_byteCount{0}; // 0 until the lengths are measured
    mutable std::mutex m_currentFileMutex;
    std::string m_currentFile;
};

} // namespace salvyn
