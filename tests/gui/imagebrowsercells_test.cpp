// The photo browser's cells: thumbnails of different sizes still give every cell the same
// picture box, so each name sits below it and never runs into a taller thumbnail.
#include "results/ui/imagebrowserview.h"
#include "results/ui/resultstablemodel.h"
#include "resultsuifakes.h"

#include <QAbstractItemDelegate>
#include <QStyleOptionViewItem>
#include <gtest/gtest.h>

namespace salvyn {
namespace {

TEST(ImageBrowserCells, EveryPhotoGetsTheSameBoxWithRoomForItsNameBelow)
{
    testing::FakeIconProvider icons;
    ResultsTableModel table;
    FoundFileList images{icons, table, [] { return 0; }};
    images.addImageWithData(testing::twoColourJpeg(20, 12), QStringLiteral("GND00001.JPG"), QStringLiteral("1"));
    images.addImageWithData(testing::twoColourJpeg(900, 900), QStringLiteral("GND00002.JPG"), QStringLiteral("2"));
    images.flushPending();
    ImageBrowserView browser(FoundFileList::Kind::Photo);
    browser.setFoundFileList(&images);
    browser.resize(600, 400);
    browser.show();

    for (const double zoom : {0.0, ImageBrowserView::photoBrowserZoom, 1.0}) {
        browser.setZoomValue(zoom);
        QStyleOptionViewItem option;
        option.initFrom(&browser);
        option.widget = &browser;
        option.decorationSize = browser.iconSize();
        option.decorationPosition = QStyleOptionViewItem::Top;
        option.features |= QStyleOptionViewItem::WrapText;
        const QSize small = browser.itemDelegate()->sizeHint(option, images.index(0));
        const QSize large = browser.itemDelegate()->sizeHint(option, images.index(1));
        EXPECT_EQ(small, large) << zoom;
        EXPECT_GE(small.height(), browser.iconSize().height() + browser.fontMetrics().height()) << zoom;
    }
}

} // namespace
} // namespace salvyn
