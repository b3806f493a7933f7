#include "results/ui/photothumbnail.h"

#include "results/ui/boundedimage.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>

namespace salvyn {
namespace {

QImage decodeBounded(const QByteArray& photoBytes)
{
    QBuffer buffer;
    buffer.setData(photoBytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return decodeToFit(reader, {PhotoThumbnail::maxPixelSize, PhotoThumbnail::maxPixelSize});
}

QByteArray encodeJpeg(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    if (!writer.write(image))
        return {};
    return bytes;
}

} // namespace

PhotoThumbnail PhotoThumbnail::fromPhotoBytes(const QByteArray& photoBytes)
{
    PhotoThumbnail thumbnail;
    if (photoBytes.isEmpty())
        return thumbnail;
    QImage image = decodeBounded(photoBytes);
    if (image.isNull())
        return thumbnail;
    thumbnail.jpegBytes = encodeJpeg(image);
    if (!thumbnail.jpegBytes.isEmpty())
        thumbnail.image = std::move(image);
    return thumbnail;
}

} // namespace salvyn
