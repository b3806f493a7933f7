#include "previewfiles.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>

namespace salvyn::test {
namespace {

QByteArray pngBytes()
{
    QImage picture(400, 300, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QPainter(&picture).fillRect(200, 0, 200, 300, Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes;
}

QByteArray pdfBytes()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        QPainter painter(&writer);
        painter.fillRect(QRect(0, 0, writer.width() / 2, writer.height() / 2), Qt::black);
    }
    return bytes;
}

} // namespace

PreviewFiles::PreviewFiles() : m_png(pngBytes()), m_pdf(pdfBytes())
{
    if (QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty()) {
        m_whyMissing = QStringLiteral("ffmpeg is not installed (Debian package ffmpeg)");
        return;
    }
    const QStringList quiet{QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                            QStringLiteral("-y")};
    m_mp4 = encode(QStringLiteral("clip.mp4"),
                   quiet + QStringList{"-f", "lavfi", "-i", "testsrc=size=160x120:rate=10:duration=1", "-c:v",
                                       "libx264", "-pix_fmt", "yuv420p", "-movflags", "+faststart"});
    m_wav = encode(QStringLiteral("tone.wav"),
                   quiet + QStringList{"-f", "lavfi", "-i", "sine=frequency=440:duration=1", "-c:a", "pcm_s16le"});
}

QByteArray PreviewFiles::encode(const QString& name, const QStringList& ffmpegArguments)
{
    const QString path = m_folder.filePath(name);
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), ffmpegArguments + QStringList{path});
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0) {
        m_whyMissing = QStringLiteral("ffmpeg could not make %1: %2").arg(name, QString::fromLocal8Bit(ffmpeg.readAllStandardError()));
        return {};
    }
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString PreviewFiles::write(const QString& name, const QByteArray& bytes) const
{
    const QString path = m_folder.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
    return path;
}

} // namespace salvyn::test
