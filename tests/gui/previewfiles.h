#pragma once
// Real media files for the preview tests, made on the spot by the demo image's encoders and
// by Qt's own writers, in a temporary folder that goes with the object.
#include <QtWidgets>

namespace salvyn::test {

// avi: one second of Motion-JPEG; wav: a one-second tone; png: 400 x 300, left half red, right half
// blue; pdf: one A4 page with a black box on white.
struct PreviewFiles {
    PreviewFiles();
    QString folder() const { return m_folder.path(); }
    QString write(const QString& name, const QByteArray& bytes) const; // answers the full path

    QTemporaryDir m_folder;
    const QByteArray avi, wav, png, pdf;
};

} // namespace salvyn::test
