// Photo thumbnails: bounded to 100 pixels from the full image, turned by EXIF orientation,
// JPEG-encoded, and nothing at all for bytes that are no picture.
#include "results/ui/photothumbnail.h"
#include "resultsuifakes.h"

#include <QColor>
#include <gtest/gtest.h>

namespace salvyn {
namespace {

using testing::encodeImage;
using testing::twoColourJpeg;
using testing::withExifOrientation6;

bool isReddish(QRgb pixel)
{
    return qRed(pixel) > 180 && qBlue(pixel) < 90;
}

bool isBluish(QRgb pixel)
{
    return qBlue(pixel) > 180 && qRed(pixel) < 90;
}

QImage decoded(const PhotoThumbnail& thumbnail)
{
    QImage image;
    image.loadFromData(thumbnail.jpegBytes, "JPEG");
    return image;
}

TEST(PhotoThumbnail, BigPhotoShrinksToOneHundredPixelsKeepingItsShapeAndEncodesAsJpeg)
{
    const PhotoThumbnail thumbnail = PhotoThumbnail::fromPhotoBytes(twoColourJpeg(4000, 3000));
    ASSERT_FALSE(thumbnail.isNull());
    EXPECT_TRUE(thumbnail.jpegBytes.startsWith(QByteArray::fromHex("ffd8ff")));
    EXPECT_EQ(decoded(thumbnail).size(), QSize(100, 75));
    EXPECT_EQ(thumbnail.image.size(), QSize(100, 75));
}

TEST(PhotoThumbnail, OrientationSixTurnsThePictureAndKeepsTheLongerSideWithinBounds)
{
    // Stored 200 x 100 with red on the left; shown turned clockwise: 50 x 100, red on top.
    const PhotoThumbnail thumbnail = PhotoThumbnail::fromPhotoBytes(withExifOrientation6(twoColourJpeg(200, 100)));
    ASSERT_FALSE(thumbnail.isNull());
    const QImage image = decoded(thumbnail);
    ASSERT_EQ(image.size(), QSize(50, 100));
    EXPECT_TRUE(isReddish(image.pixel(25, 10)));
    EXPECT_TRUE(isBluish(image.pixel(25, 90)));
}

TEST(PhotoThumbnail, SmallPicturesAreNeverScaledUp)
{
    EXPECT_EQ(decoded(PhotoThumbnail::fromPhotoBytes(twoColourJpeg(40, 30))).size(), QSize(40, 30));
    QImage exact(100, 60, QImage::Format_RGB32);
    exact.fill(Qt::gray);
    EXPECT_EQ(decoded(PhotoThumbnail::fromPhotoBytes(encodeImage(exact, "PNG"))).size(), QSize(100, 60));
}

TEST(PhotoThumbnail, AVeryThinPictureKeepsAtLeastOnePixelOnItsShortSide)
{
    QImage line(10000, 1, QImage::Format_RGB32);
    line.fill(Qt::darkGreen);
    const PhotoThumbnail thumbnail = PhotoThumbnail::fromPhotoBytes(encodeImage(line, "PNG"));
    ASSERT_FALSE(thumbnail.isNull());
    EXPECT_EQ(thumbnail.image.size(), QSize(100, 1));
}

TEST(PhotoThumbnail, BytesThatAreNoPictureGiveNoThumbnail)
{
    EXPECT_TRUE(PhotoThumbnail::fromPhotoBytes(QByteArray()).isNull());
    EXPECT_TRUE(PhotoThumbnail::fromPhotoBytes(QByteArray(4096, '\x5a')).isNull());
    // A JPEG start marker followed by noise is still no picture.
    EXPECT_TRUE(PhotoThumbnail::fromPhotoBytes(QByteArray::fromHex("ffd8ffe0") + QByteArray(600, '\x01')).isNull());
}

} // namespace
} // namespace salvyn
