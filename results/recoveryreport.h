#pragma once
// The recovery report: a tab-separated list of saved files, one line per file, which every
// save adds to. The header line is written once, when the report is new, so a folder that
// receives several saves keeps one report of all of them. One thread at a time.
#include "results/filesaver.h"

#include <filesystem>
#include <string>

namespace salvyn {

class RecoveryReport {
public:
    static constexpr const char* fileName = "salvyn-report.tsv";

    // Opens `path` for appending, creating it when missing. `medium` fills the last column.
    RecoveryReport(const std::filesystem::path& path, std::string medium);
    ~RecoveryReport();
    RecoveryReport(const RecoveryReport&) = delete;
    RecoveryReport& operator=(const RecoveryReport&) = delete;

    // 0, or the errno value of why the report cannot be kept.
    int openError() const { return m_error; }
    // Adds the file's line at once, so the report stays true if anything stops later.
    // Answers 0 or the errno value of the failed write.
    int add(const SavedFile& file);

private:
    int append(const std::string& line);

    int m_fd = -1;
    int m_error = 0;
    std::string m_medium;
};

std::string reportHeaderLine();
std::string reportLine(const SavedFile& file, const std::string& medium);

} // namespace salvyn
