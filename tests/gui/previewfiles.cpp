#include "previewfiles.h"
#include "resultsuifakes.h"

#include "tools/mediaencoders.h"

#include <QtWidgets>
#include <QPdfWriter>

namespace salvyn::test {
namespace {

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

QByteArray bytesOf(const demo::Bytes& bytes) { return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())); }

} // namespace

PreviewFiles::PreviewFiles()
    : avi(bytesOf(demo::makeAvi(160, 120, 10))), wav(bytesOf(demo::makeWav(8000, 1.0, 440.0))),
      png(testing::encodeImage(testing::twoColourImage(400, 300), "PNG")), pdf(pdfBytes()) {}

QString PreviewFiles::write(const QString& name, const QByteArray& bytes) const
{
    QFile file(m_folder.filePath(name));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
    return file.fileName();
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
    return "leak:libQt6Pdf.so\nleak:libpulse.so\nleak:libglib-2.0.so\nleak:libgst\nleak:__vasprintf_internal\n";
}

