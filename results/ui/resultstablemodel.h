#pragma once
// The raw-file results table (`nsSIGFileInfoDataObject` shown in `idSigTableView`): one row
// per checked type with the number of files found of it. The model owns the rows.
//
// Threads: rows are created and cleared on the UI thread; countFoundFile() may be called
// from the search worker. The count lands in the rows at once (naming reads it for the next
// file), and the view hears of the change through a queued dataChanged for the rows touched.
#include "results/resultrows.h"

#include <QAbstractTableModel>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>

namespace salvyn {

class ResultsTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // headerData() answers a column's key under this role.
    static constexpr int ColumnIdentifierRole = Qt::UserRole;

    explicit ResultsTableModel(QObject* parent = nullptr);

    // The column identifiers, which are row keys: "FileTypes" and "NoOfFile".
    static QString columnIdentifier(int column);

    // The rows themselves, for naming (thread-safe reads).
    const ResultRows& rows() const { return m_rows; }

    // UI thread: a new search empties the table.
    void clear();
    // UI thread: appends a row, the count written as unsigned decimal text.
    void createSignatureListTableRecord(const QString& type, std::uint64_t count, const QString& fileName,
                                        const QString& filePath, const QString& typeHidden);
    // Any thread: counts a found file into the first row whose hidden type is the exact
    // extension of its name. Returns the replaced row, or nullopt when no row matches.
    std::optional<std::size_t> countFoundFile(const QString& fileName);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void markChanged(std::size_t row);
    void emitChangedRows();

    ResultRows m_rows;
    std::mutex m_changedMutex;
    std::optional<std::size_t> m_firstChanged; // rows counted since the view last heard of it
    std::size_t m_lastChanged = 0;
};

} // namespace salvyn
