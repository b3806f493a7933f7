// salvyn-bench-previewstart: how soon a found video can be played in the preview box, two
// ways. A phone-style MP4 (its index after the media data) is made with ffmpeg, laid on a
// disk image between other bytes and found as the raw-file pass lists it (a range of at most
// 18 MiB). Then, from selection to loaded media:
//   copy:   the file up to its format end copied into the preview folder, then opened;
//   device: the file read straight from the image through a read-only QIODevice.
// Each way is timed with the image out of the page cache (cold) and in it (warm), and the
// thread that reads the device is named. Reports figures; asserts nothing.
// The copy goes where the app keeps previews, in memory ($XDG_RUNTIME_DIR, else /dev/shm).
// Usage: salvyn-bench-previewstart [MiB of video, default 370] [work folder]
#include "platform/rawsectoropener.h"
#include "results/previewlength.h"
#include "results/sectorcopy.h"
#include "results/ui/foundfiledevice.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMediaPlayer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <mutex>
#include <random>

namespace salvyn {
namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;
constexpr std::uint64_t kRangeSectors = 36864; // the raw-file pass's longest range

// Asks for noise at 640x360 lossless, about 13 MB per second of video.
bool makeVideo(const QString& path, int mib)
{
    const int seconds = std::max(1, mib * 1024 * 1024 / 13'000'000);
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=640x360:rate=30", "-f", "lavfi",
                            "-i", "sine=frequency=440:sample_rate=48000", "-t", QString::number(seconds), "-vf",
                            "noise=alls=60:allf=t", "-c:v", "libx264", "-preset", "ultrafast", "-qp", "0", "-c:a",
                            "aac", "-shortest", path});
    return ffmpeg.waitForFinished(-1) && ffmpeg.exitCode() == 0;
}

// The video between two MiB of random bytes, at a sector boundary. Answers its first sector.
std::uint64_t layImage(const QString& video, const QString& image)
{
    std::mt19937_64 random(7);
    std::vector<char> filler(kMiB);
    for (char& byte : filler)
        byte = static_cast<char>(random());
    std::ifstream in(video.toStdString(), std::ios::binary);
    std::ofstream out(image.toStdString(), std::ios::binary | std::ios::trunc);
    out.write(filler.data(), static_cast<std::streamsize>(filler.size()));
    out << in.rdbuf();
    const auto end = static_cast<std::uint64_t>(out.tellp());
    out.write(filler.data(), static_cast<std::streamsize>(kSectorSize - end % kSectorSize + filler.size()));
    return kMiB / kSectorSize;
}

void dropFromCache(const QString& path)
{
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDONLY);
    fdatasync(fd);
    posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

struct FoundFile {
    std::string name;
    std::uint64_t File_Start_Sector;
    std::uint64_t File_End_Sector;
};

// Waits for the player's verdict on its source; true when it loaded.
bool waitLoaded(QMediaPlayer& player)
{
    QEventLoop loop;
    bool loaded = player.mediaStatus() == QMediaPlayer::LoadedMedia;
    QObject::connect(&player, &QMediaPlayer::mediaStatusChanged, &loop, [&](QMediaPlayer::MediaStatus status) {
        loaded = status == QMediaPlayer::LoadedMedia;
        if (loaded || status == QMediaPlayer::InvalidMedia)
            loop.quit();
    });
    QObject::connect(&player, &QMediaPlayer::errorOccurred, &loop, [&] { loop.quit(); });
    if (!loaded)
        loop.exec();
    return loaded;
}

// Runs `work` on a worker while this thread's event loop goes on, as the preview box does.
template <typename Work> void offTheUiThread(Work work)
{
    QEventLoop loop;
    QThread* worker = QThread::create(work);
    QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec();
    worker->wait();
    delete worker;
}

// Names the threads that read through it.
class ThreadNoting final : public QIODevice {
public:
    explicit ThreadNoting(QIODevice& inner) : m_inner(inner)
    {
        open(ReadOnly | Unbuffered);
    }
    bool isSequential() const override { return false; }
    qint64 size() const override { return m_inner.size(); }
    bool seek(qint64 offset) override { return QIODevice::seek(offset) && m_inner.seek(offset); }
    std::map<QString, int> readers() const { std::lock_guard lock(m_lock); return m_readers; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        {
            std::lock_guard lock(m_lock);
            ++m_readers[QThread::currentThread() == qApp->thread() ? "UI thread" : "other thread"];
        }
        return m_inner.read(data, maxSize);
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QIODevice& m_inner;
    mutable std::mutex m_lock;
    std::map<QString, int> m_readers;
};

// As the preview extraction copies a found range, sector by sector off the UI thread, but
// up to the file's format end.
double copyWay(const QString& image, const FoundFile& file, const QString& folderPath, QString* note)
{
    RawSectorOpener opener;
    QMediaPlayer player;
    const QString previewPath = folderPath + "/dprv.MP4";
    QDir().mkpath(folderPath);
    QElapsedTimer clock;
    clock.start();
    offTheUiThread([&] {
        SectorSourceOpening medium = opener.open(image.toStdString());
        std::FILE* preview = std::fopen(previewPath.toLocal8Bit().constData(), "wb");
        if (!medium.stream || !preview)
            return;
        std::setvbuf(preview, nullptr, _IOFBF, 1 << 20);
        const std::uint64_t bytes =
            wholeFileBeyondRange(file.name, file.File_Start_Sector, file.File_End_Sector, *medium.stream).value_or(0);
        medium.stream->seekToSector(file.File_Start_Sector);
        copySectors(*medium.stream, {file.File_Start_Sector, bytes, true, 1}, [] { return true; },
                    [preview](std::span<const std::uint8_t> piece) {
                        return std::fwrite(piece.data(), piece.size(), 1, preview) == 1;
                    });
        std::fclose(preview);
    });
    player.setSource(QUrl::fromLocalFile(previewPath));
    const bool loaded = waitLoaded(player);
    const double seconds = clock.nsecsElapsed() / 1e9;
    *note = QString("%1, duration %2 ms, preview file %3 MiB")
                .arg(loaded ? "loaded" : "NOT loaded")
                .arg(player.duration())
                .arg(QFileInfo(previewPath).size() / double(kMiB), 0, 'f', 1);
    player.setSource(QUrl());
    QFile::remove(previewPath);
    return seconds;
}

double deviceWay(const QString& image, const FoundFile& file, QString* note)
{
    RawSectorOpener opener;
    QMediaPlayer player;
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<FoundFileDevice> device;
    offTheUiThread([&] {
        SectorSourceOpening medium = opener.open(image.toStdString());
        if (!medium.stream)
            return;
        const std::uint64_t bytes =
            wholeFileBeyondRange(file.name, file.File_Start_Sector, file.File_End_Sector, *medium.stream).value_or(0);
        device = std::make_unique<FoundFileDevice>(std::move(medium.stream), file.File_Start_Sector, bytes);
        device->moveToThread(qApp->thread());
        // The preview box opens a second one for the still shown before Play.
        FoundFileDevice still(opener.open(image.toStdString()).stream, file.File_Start_Sector, bytes);
    });
    ThreadNoting noting(*device);
    player.setSourceDevice(&noting, QUrl("found.mp4"));
    const bool loaded = waitLoaded(player);
    const double seconds = clock.nsecsElapsed() / 1e9;
    QString readers;
    for (const auto& [thread, reads] : noting.readers())
        readers += QString(" %1 reads on the %2;").arg(reads).arg(thread);
    *note = QString("%1, duration %2 ms,%3").arg(loaded ? "loaded" : "NOT loaded").arg(player.duration()).arg(readers);
    player.setSource(QUrl());
    return seconds;
}

} // namespace
} // namespace salvyn

int main(int argc, char** argv)
{
    using namespace salvyn;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int mib = argc > 1 ? std::atoi(argv[1]) : 370;
    QTemporaryDir temporary;
    const QString work = argc > 2 ? QString(argv[2]) : temporary.path();
    QDir().mkpath(work);
    const QString video = work + "/phone.mp4";
    const QString image = work + "/card.img";
    if (!QFileInfo::exists(video) && !makeVideo(video, mib)) {
        std::fprintf(stderr, "ffmpeg could not make the video\n");
        return 1;
    }
    const std::uint64_t first = layImage(video, image);
    const FoundFile file{"MP400001.MP4", first, first + kRangeSectors};
    std::printf("video %.1f MiB at sector %llu, found range %llu sectors\n",
                QFileInfo(video).size() / double(kMiB), static_cast<unsigned long long>(first),
                static_cast<unsigned long long>(kRangeSectors));
    // Where the app keeps previews: the session's runtime folder, in memory.
    const QString previewFolder =
        qEnvironmentVariable("XDG_RUNTIME_DIR", QStringLiteral("/dev/shm")) + "/salvyn-bench-preview";
    for (const bool cold : {true, false, true, false}) {
        QString note;
        if (cold)
            dropFromCache(image);
        const double copy = copyWay(image, file, previewFolder, &note);
        std::printf("copy   %s %.3f s  (%s)\n", cold ? "cold" : "warm", copy, qPrintable(note));
        if (cold)
            dropFromCache(image);
        const double device = deviceWay(image, file, &note);
        std::printf("device %s %.3f s  (%s)\n", cold ? "cold" : "warm", device, qPrintable(note));
    }
    QDir(previewFolder).removeRecursively();
    return 0;
}
