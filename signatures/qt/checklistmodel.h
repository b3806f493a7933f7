#pragma once
// The file-type check list of the video, raw-file and audio searches: one row per type
// found in the mode's general and thorough signature lists, with its check box. The rows
// are the list itself (sorted in place, not through a proxy), because the results rows
// and the hand-over to the search follow their order. UI thread only.
#include <QAbstractTableModel>
#include <QString>
#include <QVector>
#include <string>
#include <vector>

namespace salvyn {

struct CheckListRow {
    bool State = true;
    QString Extension;
    QString Description;
    QString Thoro; // "YES" for a type only the thorough list knows
};

class CheckListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    using Records = std::vector<std::string>; // seven entries per signature record

    // Column identifiers are the row keys; headerData answers them under IdentifierRole.
    enum Column { StateColumn, ExtensionColumn, DescriptionColumn, ThoroColumn, ColumnCount };
    static constexpr int IdentifierRole = Qt::UserRole + 1;
    static QString columnIdentifier(int column);

    explicit CheckListModel(QObject* parent = nullptr);

    // Empties the list, then one checked row per type: general list first (first description
    // wins, a type in both lists counts as general), then the thorough-only types ("YES").
    void fill(const Records& general, const Records& thorough);
    // Stable, case-insensitive, by "Extension" (mp3 and MP3 keep their relative order).
    void sortByExtension();
    void clear();
    void createExtensionListTableRecord(const QString& extension, bool state,
                                        const QString& description, const QString& thoro);
    // Every row checked (select all) or unchecked, order kept.
    void Select_Unselect(bool selectAll);
    bool Check_For_One_Extension_Selection() const;
    bool anyUnchecked() const;

    const QVector<CheckListRow>& rows() const { return m_rows; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void appendTypes(const Records& records, const QString& thoro);
    QVector<CheckListRow> m_rows;
};

} // namespace salvyn
