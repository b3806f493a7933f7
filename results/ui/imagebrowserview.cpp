#include "results/ui/imagebrowserview.h"

#include "results/ui/foundfileorder.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cmath>

namespace salvyn {
namespace {

constexpr int kSmallestIconSide = 16;
constexpr int kIconSideRange = 240;
// Room under each icon for a name as the naming gives them, such as WMV00001.WMV.
const QString kWidestUsualName = QStringLiteral("WMV00001.WMV");
constexpr int kLabelMargin = 16;
// The name, then size, date and camera, and the style's margins.
constexpr int kLabelLines = 5;
constexpr int kMarkSide = 14;
// The browser of the other modes has no zoom control, and its fixed zoom gives an icon's size;
// the frames of videos and the covers of sounds need this much to be told apart.
constexpr int kSmallestOtherFileSide = 96;

// Every cell draws its picture in a box of the view's icon size, whatever the picture's own
// size (thumbnails differ), so every name sits under the same box and never runs into a
// taller thumbnail beside it.
class FixedDecorationDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (const auto* view = qobject_cast<const QAbstractItemView*>(option->widget))
            option->decorationSize = view->iconSize();
        // Lines as the delegate lays them out (a line feed would be drawn as a blank), each kept
        // whole rather than wrapped.
        if (QString details = index.data(FoundFileList::DetailsRole).toString(); !details.isEmpty())
            option->text += QChar::LineSeparator
                          + details.replace(QLatin1Char(' '), QChar::Nbsp).replace(QLatin1Char('\n'), QChar::LineSeparator);
    }

public:
    // Room for every line of details, whether or not they have come yet: the cells are all
    // of one size, measured once.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        if (const auto* view = qobject_cast<const QListView*>(option.widget); view && view->gridSize().isValid())
            size = size.expandedTo(view->gridSize() - QSize(4, 4));
        return size;
    }

    // The file's mark at the top right corner of its picture: a green tick for a whole file,
    // a red cross for a damaged one, a grey question mark when its format cannot tell.
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        const QVariant condition = index.data(FoundFileList::ConditionRole);
        if (!condition.isValid())
            return;
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QWidget* widget = option.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        const QRect box = style->subElementRect(QStyle::SE_ItemViewItemDecoration, &item, widget);
        // The picture is drawn centred in its box, never larger than it is.
        const QSize drawn = item.icon.actualSize(box.size());
        const QRect picture = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, drawn.isEmpty() ? box.size() : drawn, box);
        const QRect mark(picture.right() - kMarkSide - 1, picture.top() + 2, kMarkSide, kMarkSide);
        QColor colour(Qt::gray);
        QString sign = QStringLiteral("?");
        switch (static_cast<FileCondition>(condition.toInt())) {
        case FileCondition::Whole: colour = QColor(0x2e, 0x8b, 0x3a); sign = QStringLiteral("\u2713"); break;
        case FileCondition::Damaged: colour = QColor(0xc6, 0x28, 0x28); sign = QStringLiteral("\u2717"); break;
        case FileCondition::Unknown: break;
        }
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::white);
        painter->setBrush(colour);
        painter->drawEllipse(mark);
        QFont font = painter->font();
        font.setBold(true);
        font.setPixelSize(kMarkSide - 4);
        painter->setFont(font);
        painter->drawText(mark, Qt::AlignCenter, sign);
        painter->restore();
    }
};

} // namespace

ImageBrowserView::ImageBrowserView(FoundFileList::Kind kind, QWidget* parent) : QListView(parent), m_kind(kind)
{
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setWrapping(true);
    setFlow(QListView::LeftToRight);
    setDragEnabled(false);
    setAcceptDrops(false);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Every cell has the same size, which keeps layout fast with tens of thousands of finds.
    setUniformItemSizes(true);
    setLayoutMode(QListView::Batched);
    setWordWrap(true);
    setTextElideMode(Qt::ElideMiddle);
    setItemDelegate(new FixedDecorationDelegate(this));
    for (QScrollBar* scroller : {verticalScrollBar(), horizontalScrollBar()}) {
        connect(scroller, &QScrollBar::actionTriggered, this,
                [scroller](int action) { scrollerAction(*scroller, action); });
    }
    setZoomValue(kind == FoundFileList::Kind::Photo ? photoBrowserZoom : rawFileBrowserZoom);
}

void ImageBrowserView::setFoundFileList(FoundFileList* images)
{
    if (images == m_images)
        return;
    if (m_images)
        disconnect(m_images, nullptr, this, nullptr);
    m_images = images;
    QItemSelectionModel* previousSelection = selectionModel();
    FoundFileOrder* previousOrder = m_order;
    m_order = images ? new FoundFileOrder(*images, this) : nullptr;
    setModel(m_order);
    // A view leaves its old selection model to whoever gives it a new model.
    if (previousSelection != selectionModel())
        delete previousSelection;
    delete previousOrder;
    if (!images)
        return;
    connect(images, &FoundFileList::scrollToEndDue, this, &ImageBrowserView::scrollToEndIfMine);
    if (m_kind == FoundFileList::Kind::RawFile) {
        connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &ImageBrowserView::imageBrowserSelectionDidChange);
    }
}

void ImageBrowserView::setOrder(std::optional<ResultSort> sort, bool hideSmallFiles)
{
    if (!m_order)
        return;
    m_order->setSort(sort);
    m_order->setHideSmallFiles(hideSmallFiles);
}

QModelIndex ImageBrowserView::indexOfRow(int row) const
{
    return m_order && m_images ? m_order->mapFromSource(m_images->index(row)) : QModelIndex();
}

std::vector<std::size_t> ImageBrowserView::selectedRows() const
{
    std::vector<std::size_t> rows;
    if (!m_order)
        return rows;
    for (const QModelIndex& index : selectionModel()->selectedIndexes())
        rows.push_back(static_cast<std::size_t>(m_order->mapToSource(index).row()));
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::vector<std::size_t> ImageBrowserView::shownRows() const
{
    std::vector<std::size_t> rows;
    for (int row = 0; m_order && row < m_order->rowCount(); ++row)
        rows.push_back(static_cast<std::size_t>(m_order->mapToSource(m_order->index(row, 0)).row()));
    return rows;
}

int ImageBrowserView::iconSideForZoom(double zoom)
{
    return kSmallestIconSide + static_cast<int>(std::lround(std::clamp(zoom, 0.0, 1.0) * kIconSideRange));
}

void ImageBrowserView::setZoomValue(double zoom)
{
    m_zoom = std::clamp(zoom, 0.0, 1.0);
    const int side =
        std::max(iconSideForZoom(m_zoom), m_kind == FoundFileList::Kind::RawFile ? kSmallestOtherFileSide : 0);
    setIconSize(QSize(side, side));
    const int labelWidth = fontMetrics().horizontalAdvance(kWidestUsualName) + kLabelMargin;
    setGridSize(QSize(std::max(side + 16, labelWidth), side + kLabelLines * fontMetrics().lineSpacing() + 6));
}

void ImageBrowserView::scrollerAction(QScrollBar& scroller, int action)
{
    double step = 0.0;
    switch (action) {
    case QAbstractSlider::SliderPageStepSub: step = -0.2; break;
    case QAbstractSlider::SliderPageStepAdd: step = 0.2; break;
    case QAbstractSlider::SliderSingleStepSub: step = -0.05; break;
    case QAbstractSlider::SliderSingleStepAdd: step = 0.05; break;
    default: return;
    }
    const int range = scroller.maximum() - scroller.minimum();
    if (range <= 0)
        return;
    // The scroller's value has not moved yet when the action is reported; the position set
    // here replaces the one the scroller was about to take.
    const double value = double(scroller.value() - scroller.minimum()) / range;
    const double next = std::clamp(value + step, 0.0, 1.0);
    scroller.setSliderPosition(scroller.minimum() + static_cast<int>(std::lround(next * range)));
}

void ImageBrowserView::scrollToEndIfMine(FoundFileList::Kind kind, int row)
{
    if (kind != m_kind || !m_images || row >= m_images->rowCount())
        return;
    if (const QModelIndex shown = indexOfRow(row); shown.isValid())
        scrollTo(shown, QAbstractItemView::EnsureVisible);
}

void ImageBrowserView::imageBrowserSelectionDidChange()
{
    const std::vector<std::size_t> selected = selectedRows();
    if (selected.empty())
        return;
    const int first = static_cast<int>(selected.front());
    if (static_cast<std::uint32_t>(first) == m_prevIndex)
        return;
    m_prevIndex = static_cast<std::uint32_t>(first);
    // A copy: the preview may hand the end of a search over, which can add finds to the list.
    const MyImageObject record = m_images->imageAt(first);
    emit previewRequested(record);
}

} // namespace salvyn
