#include "results/resultrows.h"

#include "platform/numbertext.h"
#include "scan/naming.h"

#include <algorithm>

namespace salvyn {

std::string ResultRow::value(std::string_view key) const
{
    if (key == "FileTypes")
        return FileTypes;
    if (key == "NoOfFile")
        return NoOfFile;
    if (key == "FileName")
        return FileName;
    if (key == "FilePath")
        return FilePath;
    if (key == "FileTypes_Hidden")
        return FileTypes_Hidden;
    return {};
}

void ResultRows::clear()
{
    std::lock_guard lock(m_mutex);
    m_rows.clear();
}

void ResultRows::createSignatureListTableRecord(std::string_view type, std::uint64_t count,
                                                std::string_view fileName, std::string_view filePath,
                                                std::string_view typeHidden)
{
    ResultRow row{std::string(type), std::to_string(count), std::string(fileName), std::string(filePath),
                  std::string(typeHidden)};
    std::lock_guard lock(m_mutex);
    m_rows.push_back(std::move(row));
}

std::optional<std::size_t> ResultRows::countFoundFile(std::string_view fileName)
{
    const std::string extension = pathExtension(fileName);
    std::lock_guard lock(m_mutex);
    const auto match = std::find_if(m_rows.begin(), m_rows.end(),
                                    [&](const ResultRow& row) { return row.FileTypes_Hidden == extension; });
    if (match == m_rows.end())
        return std::nullopt;
    // Read and write back under one lock, so two reporters can never lose a count.
    const std::uint64_t count = unsignedLongLongValue(match->NoOfFile) + 1;
    *match = ResultRow{extension, std::to_string(count), std::string(fileName), std::string(fileName), extension};
    return static_cast<std::size_t>(match - m_rows.begin());
}

std::size_t ResultRows::rowCount() const
{
    std::lock_guard lock(m_mutex);
    return m_rows.size();
}

std::string ResultRows::value(std::size_t row, std::string_view key) const
{
    std::lock_guard lock(m_mutex);
    return row < m_rows.size() ? m_rows[row].value(key) : std::string();
}

std::optional<std::uint64_t> ResultRows::noOfFileFor(std::string_view typeHidden) const
{
    std::lock_guard lock(m_mutex);
    for (const ResultRow& row : m_rows) {
        if (row.FileTypes_Hidden == typeHidden)
            return unsignedLongLongValue(row.NoOfFile);
    }
    return std::nullopt;
}

std::vector<ResultRow> ResultRows::snapshot() const
{
    std::lock_guard lock(m_mutex);
    return m_rows;
}

} // namespace salvyn
