#include "results/ui/resultstablemodel.h"

#include <algorithm>
#include <array>
#include <utility>

namespace salvyn {
namespace {

constexpr std::array<const char*, 2> kColumnKeys{"FileTypes", "NoOfFile"};
constexpr std::array<const char*, 2> kColumnTitles{"File type", "Files found"};

} // namespace

ResultsTableModel::ResultsTableModel(QObject* parent) : QAbstractTableModel(parent) {}

QString ResultsTableModel::columnIdentifier(int column)
{
    if (column < 0 || column >= static_cast<int>(kColumnKeys.size()))
        return {};
    return QString::fromLatin1(kColumnKeys[column]);
}

void ResultsTableModel::clear()
{
    beginResetModel();
    m_rows.clear();
    {
        std::lock_guard lock(m_changedMutex);
        m_firstChanged.reset();
    }
    endResetModel();
}

void ResultsTableModel::createSignatureListTableRecord(const QString& type, std::uint64_t count,
                                                       const QString& fileName, const QString& filePath,
                                                       const QString& typeHidden)
{
    const int row = rowCount();
    beginInsertRows({}, row, row);
    m_rows.createSignatureListTableRecord(type.toStdString(), count, fileName.toStdString(),
                                          filePath.toStdString(), typeHidden.toStdString());
    endInsertRows();
}

std::optional<std::size_t> ResultsTableModel::countFoundFile(const QString& fileName)
{
    const std::optional<std::size_t> row = m_rows.countFoundFile(fileName.toStdString());
    if (row)
        markChanged(*row);
    return row;
}

void ResultsTableModel::markChanged(std::size_t row)
{
    bool firstSinceLastTold = false;
    {
        std::lock_guard lock(m_changedMutex);
        firstSinceLastTold = !m_firstChanged.has_value();
        m_firstChanged = std::min(row, m_firstChanged.value_or(row));
        m_lastChanged = firstSinceLastTold ? row : std::max(row, m_lastChanged);
    }
    // One queued notice covers every count made before the UI thread gets to it.
    if (firstSinceLastTold)
        QMetaObject::invokeMethod(this, &ResultsTableModel::emitChangedRows, Qt::QueuedConnection);
}

void ResultsTableModel::emitChangedRows()
{
    std::optional<std::size_t> first;
    std::size_t last = 0;
    {
        std::lock_guard lock(m_changedMutex);
        first = std::exchange(m_firstChanged, std::nullopt);
        last = m_lastChanged;
    }
    const int rows = rowCount();
    if (!first || rows == 0 || *first >= static_cast<std::size_t>(rows))
        return;
    const int lastRow = static_cast<int>(std::min(last, static_cast<std::size_t>(rows - 1)));
    emit dataChanged(index(static_cast<int>(*first), 0), index(lastRow, columnCount() - 1), {Qt::DisplayRole});
}

int ResultsTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.rowCount());
}

int ResultsTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(kColumnKeys.size());
}

QVariant ResultsTableModel::data(const QModelIndex& index, int role) const
{
    // A row the table asks for that is not there (it may be drawing while a new search
    // empties the rows) gives no value rather than an abort.
    if (role != Qt::DisplayRole || !index.isValid() || index.row() < 0
        || static_cast<std::size_t>(index.row()) >= m_rows.rowCount())
        return {};
    const QString key = columnIdentifier(index.column());
    if (key.isEmpty())
        return {};
    return QString::fromStdString(m_rows.value(static_cast<std::size_t>(index.row()), key.toStdString()));
}

QVariant ResultsTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= static_cast<int>(kColumnKeys.size()))
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == ColumnIdentifierRole)
        return columnIdentifier(section);
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(kColumnTitles[section]);
    return {};
}

} // namespace salvyn
