// The thumbnail browsers: zoom, scroller steps, scrolling to the end on the cadence, and
// selection handing a file to the preview once.
#include "results/ui/imagebrowserview.h"
#include "results/ui/resultstablemodel.h"
#include "resultsuifakes.h"

#include <QItemSelectionModel>
#include <QScrollBar>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <cmath>

namespace salvyn {
namespace {

using Kind = FoundFileList::Kind;

TEST(ImageBrowserZoom, ZeroToOneMapsOntoIconSidesFrom16To256AndTheBrowsersStartAtTheirValues)
{
    EXPECT_EQ(ImageBrowserView::iconSideForZoom(0.0), 16);
    EXPECT_EQ(ImageBrowserView::iconSideForZoom(1.0), 256);
    EXPECT_EQ(ImageBrowserView::iconSideForZoom(0.5), 136);
    EXPECT_EQ(ImageBrowserView::iconSideForZoom(-3.0), 16);
    EXPECT_EQ(ImageBrowserView::iconSideForZoom(7.0), 256);

    ImageBrowserView photos(Kind::Photo);
    ImageBrowserView others(Kind::RawFile);
    EXPECT_DOUBLE_EQ(photos.zoomValue(), 0.55);
    EXPECT_EQ(photos.iconSize(), QSize(148, 148));
    EXPECT_DOUBLE_EQ(others.zoomValue(), 0.05);
    EXPECT_EQ(others.iconSize(), QSize(28, 28));
    photos.setZoomValue(ImageBrowserView::zoomSliderDefault);
    EXPECT_DOUBLE_EQ(photos.zoomValue(), 0.5);
    EXPECT_EQ(photos.iconSize(), QSize(136, 136));
    EXPECT_EQ(photos.viewMode(), QListView::IconMode);
    EXPECT_EQ(photos.movement(), QListView::Static);
    EXPECT_FALSE(photos.dragEnabled());
}

struct Browsers : ::testing::Test {
    Browsers()
    {
        photoBrowser.setFoundFileList(&images);
        otherBrowser.setFoundFileList(&images);
        for (ImageBrowserView* browser : {&photoBrowser, &otherBrowser}) {
            browser->resize(240, 160);
            browser->show();
        }
    }

    void addOtherFiles(int count)
    {
        for (int i = 0; i < count; ++i) {
            const QString n = QStringLiteral("MOV%1.MOV").arg(i + 1, 5, 10, QLatin1Char('0'));
            images.addImageWithData_2(n, n, std::uint64_t(100 * i), std::uint64_t(100 * i + 7));
        }
        images.flushPending();
    }

    void select(std::initializer_list<int> rows)
    {
        QItemSelection selection;
        for (int row : rows)
            selection.select(images.index(row), images.index(row));
        otherBrowser.selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    }

    int mode = 2;
    testing::FakeIconProvider icons;
    ResultsTableModel table;
    FoundFileList images{icons, table, [this] { return mode; }};
    ImageBrowserView photoBrowser{Kind::Photo};
    ImageBrowserView otherBrowser{Kind::RawFile};
};

TEST_F(Browsers, PageAndArrowClicksMoveByAFifthAndATwentiethOfTheScrollRange)
{
    addOtherFiles(400);
    QScrollBar& scroller = *otherBrowser.verticalScrollBar();
    const int range = scroller.maximum() - scroller.minimum();
    ASSERT_GT(range, 100);
    const int middle = scroller.minimum() + range / 2;
    auto after = [&](QAbstractSlider::SliderAction action, int from) {
        scroller.setValue(from);
        scroller.triggerAction(action);
        return scroller.value();
    };
    auto fraction = [&](double part) { return static_cast<int>(std::lround(part * range)); };
    EXPECT_NEAR(after(QAbstractSlider::SliderPageStepAdd, middle), middle + fraction(0.2), 1);
    EXPECT_NEAR(after(QAbstractSlider::SliderPageStepSub, middle), middle - fraction(0.2), 1);
    EXPECT_NEAR(after(QAbstractSlider::SliderSingleStepAdd, middle), middle + fraction(0.05), 1);
    EXPECT_NEAR(after(QAbstractSlider::SliderSingleStepSub, middle), middle - fraction(0.05), 1);
    EXPECT_EQ(after(QAbstractSlider::SliderPageStepAdd, scroller.maximum() - 1), scroller.maximum());
    EXPECT_EQ(after(QAbstractSlider::SliderSingleStepSub, scroller.minimum() + 1), scroller.minimum());
    // Actions other than page and arrow clicks are the scroller's own.
    EXPECT_EQ(after(QAbstractSlider::SliderToMaximum, middle), scroller.maximum());
}

TEST_F(Browsers, TheCadenceScrollsOnlyTheBrowserOfThatKindOfFind)
{
    addOtherFiles(39);
    const QRect item = otherBrowser.visualRect(images.index(35));
    EXPECT_GT(otherBrowser.verticalScrollBar()->value(), 0);
    EXPECT_TRUE(otherBrowser.viewport()->rect().contains(item));
    EXPECT_EQ(photoBrowser.verticalScrollBar()->value(), 0);
}

TEST_F(Browsers, SelectingAFileHandsItToThePreviewOnceUntilAnotherIsSelected)
{
    addOtherFiles(5);
    std::vector<MyImageObject> handed;
    QObject::connect(&otherBrowser, &ImageBrowserView::previewRequested,
            [&](const MyImageObject& record) { handed.push_back(record); });

    select({2});
    ASSERT_EQ(handed.size(), 1u);
    EXPECT_EQ(handed[0].path, QStringLiteral("MOV00003.MOV"));
    EXPECT_EQ(handed[0].File_Start_Sector, 200u);
    EXPECT_EQ(handed[0].File_End_Sector, 207u);
    EXPECT_EQ(otherBrowser.Prev_Index(), 2u);

    otherBrowser.clearSelection();
    select({2});
    EXPECT_EQ(handed.size(), 1u);

    // Several selected: the lowest index is the one previewed.
    select({4, 1});
    ASSERT_EQ(handed.size(), 2u);
    EXPECT_EQ(handed[1].path, QStringLiteral("MOV00002.MOV"));
    select({2});
    ASSERT_EQ(handed.size(), 3u);
    EXPECT_EQ(handed[2].path, QStringLiteral("MOV00003.MOV"));

    // A new search forgets the last preview, so the same row is handed over again.
    otherBrowser.resetPrev_Index();
    EXPECT_EQ(otherBrowser.Prev_Index(), ImageBrowserView::noPrevIndex);
    otherBrowser.clearSelection();
    select({2});
    EXPECT_EQ(handed.size(), 4u);
}

TEST_F(Browsers, SelectingInThePhotoBrowserStartsNoPreview)
{
    mode = 0;
    images.addImageWithData(testing::twoColourJpeg(50, 50), QStringLiteral("GND00001.JPG"), QStringLiteral("1"));
    images.flushPending();
    QSignalSpy preview(&photoBrowser, &ImageBrowserView::previewRequested);
    photoBrowser.selectionModel()->select(images.index(0), QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(preview.count(), 0);
    EXPECT_EQ(photoBrowser.Prev_Index(), ImageBrowserView::noPrevIndex);
}

} // namespace
} // namespace salvyn
