#pragma once
// The results-table rows of a video, raw-file or audio search: one row per checked
// type, counting the files found of that type. Rows are created on the UI thread and
// replaced from the search worker while the UI thread reads them, so every operation
// takes the one lock; a read never sees half a row.
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace salvyn {

// One row: the texts under the keys "FileTypes", "NoOfFile", "FileName", "FilePath"
// and "FileTypes_Hidden".
struct ResultRow {
    std::string FileTypes;
    std::string NoOfFile;
    std::string FileName;
    std::string FilePath;
    std::string FileTypes_Hidden;

    // The text under `key`; empty for a key that is not one of the five.
    std::string value(std::string_view key) const;
    bool operator==(const ResultRow&) const = default;
};

class ResultRows {
public:
    void clear();

    // Appends a row; the count is written as unsigned decimal text.
    void createSignatureListTableRecord(std::string_view type, std::uint64_t count, std::string_view fileName,
                                        std::string_view filePath, std::string_view typeHidden);

    // Counts a found file into the first row whose hidden type equals the extension of
    // its name (exact, case-sensitive): that row is replaced whole by one with the count
    // raised by one and the name as file name and path. Returns the replaced row's
    // index, or nullopt when no row matches and nothing changed.
    std::optional<std::size_t> countFoundFile(std::string_view fileName);

    std::size_t rowCount() const;
    // The text under `key` in row `row`; empty for a row out of range or an unknown key.
    std::string value(std::size_t row, std::string_view key) const;
    // The count of the first row whose hidden type equals `typeHidden`.
    std::optional<std::uint64_t> noOfFileFor(std::string_view typeHidden) const;
    std::vector<ResultRow> snapshot() const;

private:
    mutable std::mutex m_mutex;
    std::vector<ResultRow> m_rows;
};

} // namespace salvyn
