#pragma once
// Real media files for the preview tests, made on the spot by the demo image's encoders and
// by Qt's own writers, in a temporary folder that goes with the object.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace salvyn::test {

class PreviewFiles {
public:
    PreviewFiles();

    // A one-second Motion-JPEG AVI and a one-second WAV tone.
    QByteArray avi() const { return m_avi; }
    QByteArray wav() const { return m_wav; }

    // A 400 x 300 picture: left half red, right half blue.
    QByteArray png() const { return m_png; }
    // One A4 page with a black box on white.
    QByteArray pdf() const { return m_pdf; }

    QString folder() const { return m_folder.path(); }
    // Writes bytes to `name` in the folder; answers the full path.
    QString write(const QString& name, const QByteArray& bytes) const;

private:
    QTemporaryDir m_folder;
    QByteArray m_avi;
    QByteArray m_wav;
    QByteArray m_png;
    QByteArray m_pdf;
};

} // namespace salvyn::test
