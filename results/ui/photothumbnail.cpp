#include "results/ui/photothumbnail.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>

#include <algorithm>

namespace salvyn {
namespace {

// The size that fits the longer side into maxPixelSize. A very long, thin picture would
// round its short side down to 0, which makes the reader fail, so no side goes below 1.
QSize boundedSize(QSize size)
{
    const int limit = PhotoThumbnail::maxPixelSize;
    if (size.isEmpty() || std::max(size.width(), size.height()) <= limit)
        return size;
    const QSize scaled = size.scaled(limit, limit, Qt::KeepAspectRatio);
    return {std::max(1, scaled.width()), std::max(1, scaled.height())};
}

QImage decodeBounded(const QByteArray& photoBytes)
{
    QBuffer buffer;
    buffer.setData(photoBytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    // Scaling while decoding lets JPEG skip most of the work on big photos. It applies to the
    // stored orientation and the turn comes after, so the longer side stays within bounds.
    const QSize storedSize = reader.size();
    if (storedSize.isValid() && !storedSize.isEmpty())
        reader.setScaledSize(boundedSize(storedSize));
    QImage image = reader.read();
    const QSize fitted = boundedSize(image.size());
    if (!image.isNull() && fitted != image.size())
        image = image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
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
