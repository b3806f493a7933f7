#include "results/ui/foundfileorder.h"

#include "results/ui/foundfilelist.h"

namespace salvyn {

FoundFileOrder::FoundFileOrder(FoundFileList& images, QObject* parent) : QSortFilterProxyModel(parent), m_images(images)
{
    setSourceModel(&images);
    setDynamicSortFilter(true);
}

void FoundFileOrder::setSort(std::optional<ResultSort> order)
{
    if (!order)
        return sort(-1);
    m_sort = *order;
    invalidate();
    sort(0);
}

void FoundFileOrder::setHideSmallFiles(bool hide)
{
    m_hideSmall = hide;
    invalidateRowsFilter();
}

bool FoundFileOrder::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const MyImageObject& a = m_images.imageAt(left.row());
    const MyImageObject& b = m_images.imageAt(right.row());
    return sortsBefore(m_sort, a.image_Name.toStdString(), a.details, b.image_Name.toStdString(), b.details);
}

bool FoundFileOrder::filterAcceptsRow(int sourceRow, const QModelIndex&) const
{
    return shownAtMinimumSize(m_images.imageAt(sourceRow).details, m_hideSmall ? kSmallFileLimit : 0);
}

} // namespace salvyn
