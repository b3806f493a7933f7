#include "results/ui/boundedimage.h"

#include <algorithm>

namespace salvyn {

QSize fittedInto(QSize size, QSize box)
{
    if (size.isEmpty() || (size.width() <= box.width() && size.height() <= box.height()))
        return size;
    // A very long, thin picture would round its short side down to 0, which makes readers fail.
    const QSize scaled = size.scaled(box, Qt::KeepAspectRatio);
    return {std::max(1, scaled.width()), std::max(1, scaled.height())};
}

QImage decodeToFit(QImageReader& reader, QSize box)
{
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    if (stored.isValid() && qint64(stored.width()) * stored.height() > kMostDecodedPixels)
        return {};
    // The scaled size applies to the stored orientation and the turn comes after, so a turned
    // picture may still overflow a box that is not square; it is shrunk below.
    if (stored.isValid() && !stored.isEmpty())
        reader.setScaledSize(fittedInto(stored, box));
    QImage image = reader.read();
    const QSize fitted = fittedInto(image.size(), box);
    if (!image.isNull() && fitted != image.size())
        image = image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

} // namespace salvyn
