#include "results/ui/previewrenderer.h"

#include "results/ui/boundedimage.h"

#include <QFile>
#include <QPdfDocument>

namespace salvyn {
namespace {

bool startsLikePdf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-";
}

// The engine leaves what a page does not paint transparent; paper is white. Premultiplied
// colour over white is the colour plus what the page leaves uncovered.
QImage onWhitePaper(const QImage& page)
{
    if (page.isNull())
        return {};
    QImage paper = page.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < paper.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(paper.scanLine(y));
        for (int x = 0; x < paper.width(); ++x) {
            const int uncovered = 255 - qAlpha(line[x]);
            line[x] = qRgb(qRed(line[x]) + uncovered, qGreen(line[x]) + uncovered, qBlue(line[x]) + uncovered);
        }
    }
    paper.reinterpretAsFormat(QImage::Format_RGB32);
    return paper;
}

} // namespace

QImage PreviewRenderer::render(const QString& path) const
{
    if (path.isEmpty())
        return {};
    return startsLikePdf(path) ? renderPdfFirstPage(path) : renderImage(path);
}

QImage PreviewRenderer::renderImage(const QString& path)
{
    QImageReader reader(path);
    return decodeToFit(reader, maxSize);
}

QImage PreviewRenderer::renderPdfFirstPage(const QString& path)
{
    QPdfDocument document;
    if (document.load(path) != QPdfDocument::Error::None || document.pageCount() < 1)
        return {};
    const QSizeF page = document.pagePointSize(0);
    if (page.isEmpty())
        return {};
    // A page is drawn as large as the box allows, whatever its size in points.
    const QSize size = page.scaled(QSizeF(maxSize), Qt::KeepAspectRatio).toSize().expandedTo({1, 1});
    return onWhitePaper(document.render(0, size));
}

} // namespace salvyn
