#pragma once
// The media table: one row per media record, in the order of the media list, never
// sorted and read-only. Each column carries its identifier ("Collumn1".."Collumn6") under
// ColumnIdentifierRole; cells show the record's texts as plain text. UI thread only.
#include "media/mydataobject.h"

#include <QAbstractTableModel>

#include <vector>

namespace salvyn {

class MediaTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int ColumnIdentifierRole = Qt::UserRole + 1;

    explicit MediaTableModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    const std::vector<MyDataObject>& records() const { return m_records; }
    // No record beyond the end of the list.
    const MyDataObject* recordAt(int row) const;
    void clear();
    void append(MyDataObject record);
    void removeAt(int row);

    // "Collumn1" for column 0 and so on; empty for a column the table does not have.
    static QString columnIdentifier(int column);

private:
    std::vector<MyDataObject> m_records;
};

} // namespace salvyn
