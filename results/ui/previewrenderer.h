#pragma once
// A small picture of a preview file for the preview box: images through Qt's image readers
// (turned as their orientation says), PDF documents by their first page. Other files, and
// files too damaged to draw, give no picture. UI thread only (the PDF engine is a QObject).
#include <QImage>
#include <QSize>
#include <QString>

namespace salvyn {

class PreviewRenderer {
public:
    // The picture fits in this box and keeps its aspect; small pictures are not enlarged.
    static constexpr QSize maxSize{200, 200};

    // A null image when the file gives no picture.
    QImage render(const QString& path) const;

private:
    static QImage renderImage(const QString& path);
    static QImage renderPdfFirstPage(const QString& path);
};

} // namespace salvyn
