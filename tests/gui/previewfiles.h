#pragma once
// Real media files for the preview tests, made on the spot by the demo image's encoders and
// by Qt's own writers, in a temporary folder that goes with the object.
#include <QtWidgets>

namespace salvyn::test {

class PreviewFiles {
public:
    PreviewFiles();

    QByteArray avi() const { return m_avi; } // one second of Motion-JPEG
    QByteArray wav() const { return m_wav; } // a one-second tone
    QByteArray png() const { return m_png; } // 400 x 300: left half red, right half blue
    QByteArray pdf() const { return m_pdf; } // one A4 page with a black box on white

    QString folder() const { return m_folder.path(); }
    // Writes bytes to `name` in the folder; answers the full path.
    QString write(const QString& name, const QByteArray& bytes) const;

private:
    QTemporaryDir m_folder;
    QByteArray m_avi, m_wav, m_png, m_pdf;
};

} // namespace salvyn::test
