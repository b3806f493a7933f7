#pragma once
// Real media files for the preview tests, made on the spot by Debian's encoders (ffmpeg)
// and by Qt's own writers, in a temporary folder that goes with the object.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace salvyn::test {

class PreviewFiles {
public:
    PreviewFiles();

    // Empty when the encoder is missing or failed; whyMissing() then says why.
    QByteArray mp4() const { return m_mp4; }
    QByteArray wav() const { return m_wav; }
    QString whyMissing() const { return m_whyMissing; }

    // A 400 x 300 picture: left half red, right half blue.
    QByteArray png() const { return m_png; }
    // One A4 page with a black box on white.
    QByteArray pdf() const { return m_pdf; }

    QString folder() const { return m_folder.path(); }
    // Writes bytes to `name` in the folder; answers the full path.
    QString write(const QString& name, const QByteArray& bytes) const;

private:
    QByteArray encode(const QString& name, const QStringList& ffmpegArguments);

    QTemporaryDir m_folder;
    QByteArray m_mp4;
    QByteArray m_wav;
    QByteArray m_png;
    QByteArray m_pdf;
    QString m_whyMissing;
};

} // namespace salvyn::test
