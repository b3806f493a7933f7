#pragma once
// Stand-ins for the desktop services and modal runs that the results screens use, plus a
// few picture makers for thumbnail tests.
#include "app/modalwindowrunner.h"
#include "platform/qt/alertservice.h"
#include "platform/qt/documentopener.h"
#include "platform/qt/iconprovider.h"
#include "results/ui/folderchooser.h"
#include "results/ui/framedecoder.h"
#include "results/ui/movieplayer.h"

#include <QtWidgets>

#include <ostream>
#include <vector>

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace salvyn::testing {

// A solid square per type: red for MOV, green for anything else.
struct FakeIconProvider final : IconProvider {
    QIcon iconForFileType(const QString& extension) const override
    {
        QPixmap pixmap(64, 64);
        return pixmap.fill(extension == QLatin1String("MOV") ? Qt::red : Qt::green), QIcon(pixmap);
    }
};

struct RecordedAlert { QString message, informativeText; QStringList buttons; };

// Records every alert and presses the scripted answers in turn, then the first button.
struct FakeAlerts final : AlertService {
    QString runAlert(QWidget*, const QString& message, const QString& informativeText, const QStringList& buttons) override
    {
        shown.push_back({message, informativeText, buttons});
        return answers.isEmpty() ? buttons.value(0) : answers.takeFirst();
    }
    std::vector<RecordedAlert> shown;
    QStringList answers;
};

// Opens nothing; `failure`, when set, is the desktop's answer.
struct FakeOpener final : DocumentOpener {
    void openFile(const QString& path, Failed failed) override { opened << path, failure.isEmpty() ? void() : failed(failure); }
    QStringList opened;
    QString failure;
};

// Answers every modal run with 1 at once, noting which window it was and when.
struct FakeModalRunner final : ModalWindowRunner {
    explicit FakeModalRunner(QStringList& events) : events(events) {}
    int runModal(QDialog& window) override { return events << QStringLiteral("modal:") + window.objectName(), 1; }
    QStringList& events;
};

// Keeps the chooser's completion so a test decides when and how it ends.
struct FakeFolderChooser final : FolderChooser {
    explicit FakeFolderChooser(QStringList& events) : events(events) {}
    void chooseFolder(QWidget*, const QString& start, Done done) override { events << QStringLiteral("chooser:") + start, pending = std::move(done); }
    void finish(int resultCode, const QString& path) { std::exchange(pending, {})(resultCode, path); }
    QStringList& events;
    Done pending;
};

// Opens what it is told to (`opens`), noting every path and stop.
struct FakeMoviePlayer final : MoviePlayer {
    bool open(const QString& path) override { return opened << path, opens; }
    bool open(MovieDevices, const QString& name) override { return opened << name, opens; }
    void stop() override { ++stops, playing = false; }
    void close() override { playing = false; }
    bool isPlaying() const override { return playing; }
    bool opens = false, playing = false;
    QStringList opened;
    int stops = 0;
};

// Answers every grab, a turn of the event loop later, with no picture and a file that decodes:
// GStreamer's own threads stay out of the flows (ThreadSanitizer cannot see their locks).
struct FakeFrameDecoder final : FrameDecoder {
    void grab(QIODevice*, const QUrl&) override
    {
        QTimer::singleShot(0, this, [this, grab = ++m_grabs] {
            if (grab == m_grabs)
                emit grabbed(QImage(), true);
        });
    }
    void cancel() override { ++m_grabs; }

private:
    int m_grabs = 0;
};

inline QByteArray encodeImage(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// A width x height picture whose left half is red and right half blue, and as a JPEG.
inline QImage twoColourImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter(&image).fillRect(0, 0, width / 2, height, Qt::red);
    return image;
}
inline QByteArray twoColourJpeg(int width, int height) { return encodeImage(twoColourImage(width, height), "JPEG"); }

// Puts an EXIF segment saying "turn 90 degrees clockwise to show" (orientation 6) right
// after the JPEG's start-of-image marker.
inline QByteArray withExifOrientation6(const QByteArray& jpeg)
{
    const QByteArray tiff = QByteArray::fromHex(
        "4d4d002a00000008"             // big-endian TIFF header, first directory at 8
        "0001"                         // one entry
        "011200030000000100060000"     // Orientation, SHORT, 1 value: 6
        "00000000");                   // no next directory
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    const int length = payload.size() + 2;
    return jpeg.left(2) + QByteArray::fromHex("ffe1") + char(length >> 8) + char(length & 0xff) + payload + jpeg.mid(2);
}

} // namespace salvyn::testing
