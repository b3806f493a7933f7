// The thumbnail browsers: zoom, scroller steps, scrolling to the end on the cadence, and
// selection handing a file to the preview once; and the photo thumbnails they show, bounded
// to 256 pixels, turned by EXIF orientation, JPEG-encoded, none for bytes that are no picture.
#include "results/ui/imagebrowserview.h"
#include "results/ui/photothumbnail.h"
#include "results/ui/resultstablemodel.h"
#include "resultsuifakes.h"

#include <QtWidgets>
#include <QtTest>

#include <gtest/gtest.h>

#include <cmath>

namespace salvyn {
namespace {

using Kind = FoundFileList::Kind;
using testing::encodeImage;
using testing::twoColourJpeg;
using testing::withExifOrientation6;

TEST(ImageBrowserZoom, ZeroToOneMapsOntoIconSidesFrom16To256)
{
    const std::pair<double, int> cases[] = {{0.0, 16}, {0.5, 136}, {1.0, 256}, {-3.0, 16}, {7.0, 256}};
    for (const auto& [zoom, side] : cases)
        EXPECT_EQ(ImageBrowserView::iconSideForZoom(zoom), side) << zoom;
    // Thumbnails are made large enough for the largest zoom: icons never outgrow their pictures.
    EXPECT_GE(PhotoThumbnail::maxPixelSize, ImageBrowserView::iconSideForZoom(1.0));
}

struct Browsers : ::testing::Test {
    Browsers()
    {
        for (ImageBrowserView* browser : {&photoBrowser, &otherBrowser}) {
            browser->setFoundFileList(&images);
            browser->resize(320, 240);
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
            selection.select(otherBrowser.indexOfRow(row), otherBrowser.indexOfRow(row));
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
    const std::pair<QAbstractSlider::SliderAction, double> steps[] = {
        {QAbstractSlider::SliderPageStepAdd, 0.2}, {QAbstractSlider::SliderPageStepSub, -0.2},
        {QAbstractSlider::SliderSingleStepAdd, 0.05}, {QAbstractSlider::SliderSingleStepSub, -0.05}};
    for (const auto& [action, part] : steps) {
        scroller.setValue(middle);
        scroller.triggerAction(action);
        EXPECT_NEAR(scroller.value(), middle + std::lround(part * range), 1) << action;
    }
    scroller.setValue(scroller.maximum() - 1);
    scroller.triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(scroller.value(), scroller.maximum());
}

TEST_F(Browsers, TheCadenceScrollsOnlyTheBrowserOfThatKindOfFind)
{
    addOtherFiles(39);
    EXPECT_GT(otherBrowser.verticalScrollBar()->value(), 0);
    EXPECT_TRUE(otherBrowser.viewport()->rect().contains(otherBrowser.visualRect(otherBrowser.indexOfRow(35))));
    EXPECT_EQ(photoBrowser.verticalScrollBar()->value(), 0);
}

TEST_F(Browsers, SelectingAFileHandsItToThePreviewOnceUntilAnotherIsSelected)
{
    addOtherFiles(5);
    std::vector<MyImageObject> handed;
    QObject::connect(&otherBrowser, &ImageBrowserView::previewRequested,
            [&](const MyImageObject& record) { handed.push_back(record); });

    select({2});
    otherBrowser.clearSelection();
    select({2});
    ASSERT_EQ(handed.size(), 1u);
    EXPECT_EQ(handed[0].File_Start_Sector, 200u);

    // Several selected: the lowest index is the one previewed.
    select({4, 1});
    ASSERT_EQ(handed.size(), 2u);
    EXPECT_EQ(handed[1].path, QStringLiteral("MOV00002.MOV"));
    select({2});
    ASSERT_EQ(handed.size(), 3u);

    // A new search forgets the last preview, so the same row is handed over again.
    otherBrowser.resetPrev_Index();
    otherBrowser.clearSelection();
    select({2});
    EXPECT_EQ(handed.size(), 4u);
}

QImage decoded(const PhotoThumbnail& thumbnail) { return QImage::fromData(thumbnail.jpegBytes, "JPEG"); }

TEST(PhotoThumbnail, BoundedToTheLargestZoomTurnedAsTheySayNeverEnlargedAndNoneForNoPicture)
{
    QImage exact(100, 60, QImage::Format_RGB32), line(10000, 1, QImage::Format_RGB32);
    exact.fill(Qt::gray), line.fill(Qt::darkGreen);
    const std::pair<QByteArray, QSize> cases[] = {
        {twoColourJpeg(4000, 3000), {256, 192}},
        {withExifOrientation6(twoColourJpeg(600, 300)), {128, 256}},
        {twoColourJpeg(40, 30), {40, 30}},
        {encodeImage(exact, "PNG"), {100, 60}},
        {encodeImage(line, "PNG"), {256, 1}},
        {QByteArray(), {0, 0}},
        {QByteArray::fromHex("ffd8ffe0") + QByteArray(600, '\x01'), {0, 0}},
    };
    for (const auto& [bytes, size] : cases) {
        const PhotoThumbnail thumbnail = PhotoThumbnail::fromPhotoBytes(bytes);
        EXPECT_EQ(thumbnail.image.size(), size) << bytes.size();
        EXPECT_EQ(decoded(thumbnail).size(), size) << bytes.size();
    }
    // Stored with red on the left, shown turned clockwise: red on top.
    const QImage turned = decoded(PhotoThumbnail::fromPhotoBytes(cases[1].first));
    EXPECT_TRUE(qRed(turned.pixel(64, 20)) > 180 && qBlue(turned.pixel(64, 20)) < 90);
    EXPECT_TRUE(qBlue(turned.pixel(64, 236)) > 180 && qRed(turned.pixel(64, 236)) < 90);
}

// Thumbnails of different sizes still get the same picture box, so each name sits below it.
TEST_F(Browsers, EveryPhotoGetsTheSameBoxWithRoomForItsNameBelowAndSelectingOneStartsNoPreview)
{
    mode = 0;
    images.addImageWithData(twoColourJpeg(20, 12), QStringLiteral("GND00001.JPG"), QStringLiteral("1"));
    images.addImageWithData(twoColourJpeg(900, 900), QStringLiteral("GND00002.JPG"), QStringLiteral("2"));
    images.flushPending();
    photoBrowser.resize(600, 400);
    for (const double zoom : {0.0, ImageBrowserView::photoBrowserZoom, 1.0}) {
        photoBrowser.setZoomValue(zoom);
        QStyleOptionViewItem option;
        option.initFrom(&photoBrowser), option.widget = &photoBrowser, option.decorationSize = photoBrowser.iconSize();
        option.decorationPosition = QStyleOptionViewItem::Top, option.features |= QStyleOptionViewItem::WrapText;
        const QSize small = photoBrowser.itemDelegate()->sizeHint(option, photoBrowser.indexOfRow(0));
        EXPECT_EQ(small, photoBrowser.itemDelegate()->sizeHint(option, photoBrowser.indexOfRow(1))) << zoom;
        EXPECT_GE(small.height(), photoBrowser.iconSize().height() + photoBrowser.fontMetrics().height()) << zoom;
    }
    QSignalSpy preview(&photoBrowser, &ImageBrowserView::previewRequested);
    photoBrowser.selectionModel()->select(photoBrowser.indexOfRow(0), QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(preview.count(), 0);
    EXPECT_EQ(photoBrowser.Prev_Index(), ImageBrowserView::noPrevIndex);
}

} // namespace
} // namespace salvyn
