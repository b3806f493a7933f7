#pragma once
// The thumbnail of a found photo: at most 256 pixels on its longer side, the photo browser's
// largest icon, so every zoom shows it scaled down and none blows it up; computed from the
// full image (never from a thumbnail stored inside the file), turned and mirrored as the
// photo's orientation says, and encoded as JPEG. Reentrant: runs on any thread, and the
// browsers make their thumbnails on a pool thread so decoding never holds up the window.
#include <QByteArray>
#include <QImage>

namespace salvyn {

struct PhotoThumbnail {
    static constexpr int maxPixelSize = 256;

    QImage image;         // the scaled picture; null when the bytes gave none
    QByteArray jpegBytes; // its JPEG encoding; empty when there is no picture

    bool isNull() const { return jpegBytes.isEmpty(); }

    // Decodes `photoBytes` (any format Qt reads) and makes the thumbnail; a null result
    // when nothing decodes or the picture cannot be encoded.
    static PhotoThumbnail fromPhotoBytes(const QByteArray& photoBytes);
};

} // namespace salvyn
