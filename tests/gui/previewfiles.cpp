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

// LeakSanitizer reads these when the tests run in the sanitizer build. Each entry is a leak
// inside a system library that no caller can free, never one of ours:
// - the PDF engine keeps its loader state when a document fails to load;
// - PulseAudio and GLib (under GStreamer) keep process-wide state they allocate on first use;
//   GLib's formatted strings show only glibc's vasprintf, as the fast unwinder cannot walk
//   further (nothing of ours formats with vasprintf).
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libQt6Pdf.so\n"
           "leak:libpulse.so\n"
           "leak:libglib-2.0.so\n"
           "leak:libgst\n"
           "leak:__vasprintf_internal\n";
}

