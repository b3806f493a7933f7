#include "signatures/qt/checklistmodel.h"

#include <algorithm>

namespace salvyn {
namespace {

constexpr std::size_t kRecordSize = 7;

QString entry(const CheckListModel::Records& records, std::size_t record, std::size_t field)
{
    return QString::fromStdString(records[record * kRecordSize + field]);
}

} // namespace

QString CheckListModel::columnIdentifier(int column)
{
    switch (column) {
    case StateColumn: return QStringLiteral("State");
    case ExtensionColumn: return QStringLiteral("Extension");
    case DescriptionColumn: return QStringLiteral("Description");
    case ThoroColumn: return QStringLiteral("Thoro");
    default: return {};
    }
}

CheckListModel::CheckListModel(QObject* parent) : QAbstractTableModel(parent) {}

void CheckListModel::fill(const Records& general, const Records& thorough)
{
    clear();
    beginResetModel();
    appendTypes(general, QString());
    appendTypes(thorough, QStringLiteral("YES"));
    endResetModel();
}

void CheckListModel::appendTypes(const Records& records, const QString& thoro)
{
    for (std::size_t r = 0; r < records.size() / kRecordSize; ++r) {
        const QString extension = entry(records, r, 0);
        const bool known = std::any_of(m_rows.cbegin(), m_rows.cend(),
                                       [&](const CheckListRow& row) { return row.Extension == extension; });
        if (!known)
            m_rows.append({true, extension, entry(records, r, 5), thoro});
    }
}

void CheckListModel::sortByExtension()
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::stable_sort(m_rows.begin(), m_rows.end(), [](const CheckListRow& a, const CheckListRow& b) {
        return QString::compare(a.Extension, b.Extension, Qt::CaseInsensitive) < 0;
    });
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CheckListModel::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void CheckListModel::createExtensionListTableRecord(const QString& extension, bool state,
                                                    const QString& description, const QString& thoro)
{
    beginInsertRows({}, m_rows.size(), m_rows.size());
    m_rows.append({state, extension, description, thoro});
    endInsertRows();
}

void CheckListModel::Select_Unselect(bool selectAll)
{
    const QVector<CheckListRow> copied = m_rows;
    clear();
    for (const CheckListRow& row : copied)
        createExtensionListTableRecord(row.Extension, selectAll, row.Description, row.Thoro);
}

bool CheckListModel::Check_For_One_Extension_Selection() const
{
    return std::any_of(m_rows.cbegin(), m_rows.cend(), [](const CheckListRow& row) { return row.State; });
}

bool CheckListModel::anyUnchecked() const
{
    return std::any_of(m_rows.cbegin(), m_rows.cend(), [](const CheckListRow& row) { return !row.State; });
}

int CheckListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CheckListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CheckListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const CheckListRow& row = m_rows[index.row()];
    if (index.column() == StateColumn)
        return role == Qt::CheckStateRole ? QVariant(row.State ? Qt::Checked : Qt::Unchecked) : QVariant();
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case ExtensionColumn: return row.Extension;
    case DescriptionColumn: return row.Description;
    case ThoroColumn: return row.Thoro;
    default: return {};
    }
}

bool CheckListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || index.column() != StateColumn
        || role != Qt::CheckStateRole)
        return false;
    m_rows[index.row()].State = value.toInt() == Qt::Checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags CheckListModel::flags(const QModelIndex& index) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return Qt::NoItemFlags;
    Qt::ItemFlags base = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return index.column() == StateColumn ? base | Qt::ItemIsUserCheckable : base;
}

QVariant CheckListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == IdentifierRole)
        return columnIdentifier(section);
    if (role != Qt::DisplayRole)
        return {};
    static const char* const titles[] = {"", "Extension", "Description", "Thorough only"};
    return QString::fromLatin1(titles[section]);
}

} // namespace salvyn
