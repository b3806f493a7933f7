#include "media/qt/mediatablemodel.h"

#include <array>

namespace salvyn {
namespace {

constexpr int kColumnCount = 6;

} // namespace

MediaTableModel::MediaTableModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

int MediaTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_records.size());
}

int MediaTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant MediaTableModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return QString::fromStdString(
        mediaTableValue(recordAt(index.row()), columnIdentifier(index.column()).toStdString()));
}

QVariant MediaTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const std::array<QString, kColumnCount> kTitles{
        QStringLiteral("Device"),      QStringLiteral("Volume Name"), QStringLiteral("File System"),
        QStringLiteral("Size"),        QStringLiteral("Parent Disk"), QStringLiteral("Sectors")};
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return kTitles[static_cast<std::size_t>(section)];
    if (role == ColumnIdentifierRole)
        return columnIdentifier(section);
    return {};
}

Qt::ItemFlags MediaTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

const MyDataObject* MediaTableModel::recordAt(int row) const
{
    if (row < 0 || static_cast<std::size_t>(row) >= m_records.size())
        return nullptr;
    return &m_records[static_cast<std::size_t>(row)];
}

void MediaTableModel::clear()
{
    beginResetModel();
    m_records.clear();
    endResetModel();
}

void MediaTableModel::append(MyDataObject record)
{
    const int row = rowCount();
    beginInsertRows(QModelIndex(), row, row);
    m_records.push_back(std::move(record));
    endInsertRows();
}

void MediaTableModel::removeAt(int row)
{
    if (recordAt(row) == nullptr)
        return;
    beginRemoveRows(QModelIndex(), row, row);
    // Records are immutable, so the list is rebuilt without the row rather than shifted.
    std::vector<MyDataObject> kept;
    kept.reserve(m_records.size() - 1);
    for (std::size_t i = 0; i < m_records.size(); ++i) {
        if (i != static_cast<std::size_t>(row))
            kept.push_back(m_records[i]);
    }
    m_records = std::move(kept);
    endRemoveRows();
}

QString MediaTableModel::columnIdentifier(int column)
{
    if (column < 0 || column >= kColumnCount)
        return {};
    return QStringLiteral("Collumn") + QString::number(column + 1);
}

} // namespace salvyn
