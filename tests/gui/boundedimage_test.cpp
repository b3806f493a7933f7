// Pictures from a hostile medium: what a header claims must not decide how much is decoded.
#include "results/ui/boundedimage.h"

#include "resultsuifakes.h"

#include <QtWidgets>
#include <gtest/gtest.h>
#include <zlib.h>

namespace salvyn {
namespace {

QByteArray bigEndian32(quint32 value) { return QByteArray() + char(value >> 24) + char(value >> 16) + char(value >> 8) + char(value); }

QByteArray pngChunk(const QByteArray& type, const QByteArray& data)
{
    const QByteArray typed = type + data;
    const auto crc = crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()));
    return bigEndian32(static_cast<quint32>(data.size())) + typed + bigEndian32(static_cast<quint32>(crc));
}

// A grey PNG whose rows are `rowsOfZeros` of zeros, compressed as they stream, so a file of a
// few hundred KiB can stand for gigabytes of pixels.
QByteArray greyPng(quint32 width, quint32 height, quint32 rowsOfZeros)
{
    QByteArray header = bigEndian32(width) + bigEndian32(height);
    header += QByteArray("\x08\x00\x00\x00\x00", 5); // 8-bit grey, no interlace
    z_stream stream{};
    deflateInit(&stream, Z_BEST_COMPRESSION);
    const QByteArray row(static_cast<qsizetype>(width) + 1, '\0'); // filter byte + pixels
    QByteArray compressed;
    QByteArray piece(1 << 16, '\0');
    for (quint32 y = 0; y < rowsOfZeros; ++y) {
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(row.data()));
        stream.avail_in = static_cast<uInt>(row.size());
        const int flush = y + 1 == rowsOfZeros ? Z_FINISH : Z_NO_FLUSH;
        do {
            stream.next_out = reinterpret_cast<Bytef*>(piece.data());
            stream.avail_out = static_cast<uInt>(piece.size());
            deflate(&stream, flush);
            compressed += piece.left(piece.size() - static_cast<qsizetype>(stream.avail_out));
        } while (stream.avail_out == 0 || (flush == Z_FINISH && stream.avail_in > 0));
    }
    deflateEnd(&stream);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) + pngChunk("IDAT", compressed)
         + pngChunk("IEND", {});
}

// A real 8 x 8 JPEG whose frame header then claims `width` x `height`.
QByteArray jpegClaiming(quint16 width, quint16 height)
{
    QByteArray bytes = testing::twoColourJpeg(8, 8);
    const qsizetype frame = bytes.indexOf(QByteArray("\xFF\xC0", 2));
    return bytes.replace(frame + 5, 4, bigEndian32(quint32(height) << 16 | width));
}

QImage decoded(QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return decodeToFit(reader, {100, 100});
}

TEST(BoundedImage, PicturesClaimingTooMuchAreRefused)
{
    ASSERT_FALSE(decoded(jpegClaiming(8, 8)).isNull());
    // 400 megapixels: JPEG would decode it at an eighth, within Qt's allocation limit, yet
    // spend seconds on the missing data.
    EXPECT_TRUE(decoded(jpegClaiming(20000, 20000)).isNull());
    EXPECT_TRUE(decoded(greyPng(65536, 32768, 1)).isNull()); // 2^31 pixels
    // Within the pixel limit, but decoding would take 144 MB: Qt's allocation limit holds.
    const QByteArray bomb = greyPng(12000, 12000, 12000);
    ASSERT_LT(bomb.size(), 1 << 20);
    EXPECT_TRUE(decoded(bomb).isNull());
    EXPECT_FALSE(decoded(greyPng(300, 200, 200)).isNull());
}

} // namespace
} // namespace salvyn
