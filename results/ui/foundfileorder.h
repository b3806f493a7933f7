#pragma once
// The order a result browser shows the found files in, and its size filter, over the
// found-file list; the list's own rows stay in the order found, which Save and the preview
// go by. UI thread only.
#include "results/resultorder.h"

#include <QSortFilterProxyModel>

#include <optional>

namespace salvyn {

class FoundFileList;

class FoundFileOrder final : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit FoundFileOrder(FoundFileList& images, QObject* parent = nullptr);

    // None keeps the order found, as the list has it.
    void setSort(std::optional<ResultSort> sort);
    void setHideSmallFiles(bool hide);

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    FoundFileList& m_images;
    ResultSort m_sort = ResultSort::Name; // while sorted
    bool m_hideSmall = false;
};

} // namespace salvyn
