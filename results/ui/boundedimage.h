#pragma once
// Decoding pictures taken from a medium with bounded work and memory. A header can claim any
// size: a few hundred bytes may say 65 535 x 65 535 pixels. A picture that claims more than
// maxPixels is refused before decoding; the rest are decoded straight at the size that fits
// the box (JPEG then skips most of the work), and Qt's image allocation limit stands behind
// the readers that cannot tell their size beforehand. Reentrant: any thread.
#include <QImage>
#include <QImageReader>
#include <QSize>

namespace salvyn {

// 256 megapixels: beyond the largest camera sensors, far below what would exhaust memory.
constexpr qint64 kMostDecodedPixels = qint64(1) << 28;

// `size` shrunk to fit `box` with its aspect kept, never enlarged and never below 1 x 1.
QSize fittedInto(QSize size, QSize box);

// The picture `reader` reads, turned as its orientation says and no larger than `box`; null
// when it gives none or claims too many pixels.
QImage decodeToFit(QImageReader& reader, QSize box);

} // namespace salvyn
