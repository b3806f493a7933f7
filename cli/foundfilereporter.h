#pragma once
// The found-file list of salvyn-scan: prints each file as it is found, counts it, and when
// asked writes it out and into the report. Called on the search thread.
#include "cli/console.h"
#include "platform/sectorsourceopener.h"
#include "results/filesaver.h"
#include "results/foundfilesink.h"
#include "results/recoveryreport.h"
#include "results/resultrows.h"
#include "results/savingplan.h"

#include <map>
#include <memory>
#include <set>
#include <optional>

namespace salvyn {

class FoundFileReporter : public FoundFileSink {
public:
    // `saver` is set when files are written or reported; `report` when a report is kept.
    FoundFileReporter(Console& console, ResultRows& rows, std::optional<FileSaver> saver, RecoveryReport* report,
                      SectorSourceOpener& opener, std::string medium);

    // Photos are listed and saved by their sectors: their bytes are not needed while searching.
    void addImageWithDataAt(const std::string& name, const std::string& uid, std::uint64_t firstSector,
                            std::uint64_t endSector) override;
    void addImageWithData_2(const std::string& name, const std::string& uid, std::uint64_t firstSector,
                            std::uint64_t endSector) override;

    // The end (exclusive) of the sectors searched: no format end reads past it.
    void setSearchedEnd(std::uint64_t endSector) { m_plan.setSearchedEnd(endSector); }

    // Once the search is over: writes every found file and its report line, each as long as
    // its format says, else up to the next found file, else its range. With `savedSectors`
    // (several modes searched) a file starting at one of them is left out, as another mode
    // saved it, and the first sectors of the files written are added.
    void saveFound(std::set<std::uint64_t>* savedSectors = nullptr);

    // "Found 3 files: JPG 2, PNG 1" as lines.
    void printSummary();
    bool writesFailed() const { return m_writesFailed; }

private:
    void found(const std::string& name, std::uint64_t firstSector, std::uint64_t endSector);
    void record(const SavedFile& saved);

    Console& m_console;
    ResultRows& m_rows;
    std::optional<FileSaver> m_saver;
    RecoveryReport* m_report;
    SectorSourceOpener& m_opener;
    std::string m_medium;
    SavingPlan m_plan;
    std::unique_ptr<SectorStream> m_copyStream; // a stream of its own, beside the search's
    std::map<std::string, std::uint64_t> m_countByType;
    std::uint64_t m_total = 0;
    bool m_writesFailed = false;
    bool m_reportFailed = false; // said once; the rest of the search goes on
};

} // namespace salvyn
