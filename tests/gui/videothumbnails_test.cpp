// Pictures of found videos, taken on a worker thread from the medium: thousands of them with
// a stand-in decoder while the window stays responsive, and a real MP4 and a broken one.
#include "doubles/memorysectorsource.h"
#include "doubles/samplefiles.h"
#include "results/ui/firstframegrabber.h"
#include "results/ui/foundfilelist.h"
#include "results/ui/imagebrowserview.h"
#include "results/ui/resultstablemodel.h"
#include "results/ui/videothumbnails.h"
#include "resultsuifakes.h"
#include "uiblockmeter.h"

#include <QtTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <set>

namespace salvyn {
namespace {

// Answers each grab on a later turn of its thread's loop with a 640 x 360 frame, after
// reading the file's first bytes as a player would; a file whose first byte is 'X' does not
// decode. Notes where and how many grabs ran.

struct GrabLog {
    std::atomic<int> started{0}, running{0}, mostAtOnce{0}, onUiThread{0};
};

class StandInDecoder final : public FrameDecoder {
public:
    explicit StandInDecoder(GrabLog& log) : m_log(log) {}
    ~StandInDecoder() override { cancel(); }

    void grab(QIODevice* device, const QUrl&) override
    {
        if (QThread::currentThread() == qApp->thread())
            ++m_log.onUiThread;
        ++m_log.started;
        const int now = ++m_log.running;
        for (int most = m_log.mostAtOnce; now > most && !m_log.mostAtOnce.compare_exchange_weak(most, now);)
            ;
        m_running = true;
        const bool decodes = device->read(1) != "X";
        QTimer::singleShot(0, this, [this, decodes] {
            if (!m_running)
                return;
            QImage frame(640, 360, QImage::Format_RGB32);
            frame.fill(Qt::blue);
            cancel();
            emit grabbed(decodes ? frame : QImage(), decodes);
        });
    }
    void cancel() override
    {
        if (std::exchange(m_running, false))
            --m_log.running;
    }

private:
    GrabLog& m_log;
    bool m_running = false;
};

struct ResultScreen {
    explicit ResultScreen(int mode) : images(icons, table, [mode] { return mode; })
    {
        QObject::connect(&images, &QAbstractItemModel::dataChanged,
                         [this](const QModelIndex& top, const QModelIndex& bottom, const QList<int>& roles) {
                             for (int row = top.row(); roles.contains(Qt::DecorationRole) && row <= bottom.row(); ++row)
                                 pictured.insert(row);
                         });
    }
    void add(const QString& name, std::uint64_t firstSector, std::uint64_t bytes)
    {
        images.addImageWithData_2(name, name, firstSector, firstSector + (bytes + 511) / 512);
        found.push_back({SaveLength{bytes, LengthSource::Format}, FileCondition::Unknown, {}});
    }
    // The details as the measure hands them over, in batches, which is when pictures are taken.
    void measured()
    {
        images.flushPending();
        constexpr std::size_t kBatch = 100;
        for (std::size_t first = 0; first < found.size(); first += kBatch) {
            images.setDetails(static_cast<int>(first),
                              {found.begin() + first, found.begin() + std::min(found.size(), first + kBatch)});
            QCoreApplication::processEvents();
        }
    }
    testing::FakeIconProvider icons;
    ResultsTableModel table;
    FoundFileList images;
    std::vector<FoundFileDetails> found;
    std::set<int> pictured; // rows whose picture came
};

TEST(VideoThumbnails, FiveThousandVideosGetTheirFramesAFewAtATimeOffTheUiThreadWhileTheWindowRuns)
{
    constexpr int kVideos = 5000;
    std::vector<std::uint8_t> card(4 * 512, 'v');
    card[2 * 512] = 'X'; // the second file, at sector 2, does not decode
    MemorySectorOpener opener;
    opener.addImage("card", card);
    ResultScreen screen(1);
    for (int k = 0; k < kVideos; ++k)
        screen.add(QStringLiteral("MP4%1.MP4").arg(k, 5, 10, QLatin1Char('0')), k % 500 == 1 ? 2 : 0, 1024);
    ImageBrowserView browser(FoundFileList::Kind::RawFile);
    browser.setFoundFileList(&screen.images);
    browser.resize(800, 600);
    browser.show();

    GrabLog log;
    VideoThumbnails pictures(screen.images, opener, [&log] { return std::make_unique<StandInDecoder>(log); });
    testing::UiBlockMeter meter;
    pictures.start("card", true);
    screen.measured();
    ASSERT_TRUE(QTest::qWaitFor([&] { return static_cast<int>(screen.pictured.size()) == kVideos; }, 120000))
        << screen.pictured.size();

    EXPECT_LE(meter.longestGapMs(), testing::UiBlockMeter::kLongestStallMs);
    EXPECT_EQ(log.onUiThread, 0);
    EXPECT_LE(log.mostAtOnce, VideoThumbnails::grabsAtOnce);
    // Scaled as a photo's thumbnail; a file that does not decode keeps its icon and is damaged.
    const auto cell = [&](int row, int role) { return screen.images.data(screen.images.index(row), role); };
    EXPECT_EQ(cell(0, Qt::DecorationRole).value<QPixmap>().size(), QSize(256, 144));
    EXPECT_EQ(cell(0, FoundFileList::ConditionRole).toInt(), static_cast<int>(FileCondition::Unknown));
    EXPECT_EQ(cell(501, Qt::DecorationRole).value<QPixmap>().size(), QSize(64, 64));
    EXPECT_EQ(cell(501, FoundFileList::ConditionRole).toInt(), static_cast<int>(FileCondition::Damaged));
}

TEST(VideoThumbnails, GivesUpItsQueueWhenTheListIsEmptied)
{
    MemorySectorOpener opener;
    opener.addImage("card", std::vector<std::uint8_t>(512, 'v'));
    ResultScreen screen(1);
    for (int k = 0; k < 200; ++k)
        screen.add(QStringLiteral("MP4%1.MP4").arg(k), 0, 512);
    GrabLog log;
    VideoThumbnails pictures(screen.images, opener, [&log] { return std::make_unique<StandInDecoder>(log); });
    pictures.start("card", true);
    screen.measured();
    screen.images.removeAllImages();
    QTest::qWait(300);
    EXPECT_LT(log.started, 200);
    EXPECT_EQ(log.running, 0);
}

// Qt Multimedia over the medium: a found MP4 shows a frame of itself, and an MP4 whose
// contents after its first box are lost is damaged.
TEST(VideoThumbnails, AFoundMp4ShowsAFrameOfItselfAndABrokenOneIsDamaged)
{
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "GStreamer's own threads are invisible to ThreadSanitizer; the plain and ASan builds run this";
#endif
    const test::Sample& mp4 = test::sampleFor(test::recipeNamed("Mp4"));
    if (!mp4.skipReason.empty())
        GTEST_SKIP() << mp4.skipReason;
    constexpr std::size_t kBrokenAt = 512;
    std::vector<std::uint8_t> card = mp4.bytes;
    card.resize(kBrokenAt * 512, 0);
    std::vector<std::uint8_t> broken = test::fillerBytes(mp4.bytes.size());
    std::copy_n(mp4.bytes.begin(), 32, broken.begin()); // its ftyp box
    card.insert(card.end(), broken.begin(), broken.end());
    MemorySectorOpener opener;
    opener.addImage("card", card);
    ResultScreen screen(1);
    screen.add(QStringLiteral("MP400001.MP4"), 0, mp4.bytes.size());
    screen.add(QStringLiteral("MP400002.MP4"), kBrokenAt, broken.size());
    VideoThumbnails pictures(screen.images, opener, [] { return std::make_unique<FirstFrameGrabber>(); });
    pictures.start("card", true);
    screen.measured();

    const auto cell = [&](int row, int role) { return screen.images.data(screen.images.index(row), role); };
    const auto damaged = [&](int row) {
        return cell(row, FoundFileList::ConditionRole).toInt() == static_cast<int>(FileCondition::Damaged);
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return screen.pictured.size() == 2; }, 2 * FirstFrameGrabber::timeoutMs + 5000));
    EXPECT_TRUE(damaged(1));
    EXPECT_FALSE(damaged(0));
    const QImage frame = cell(0, Qt::DecorationRole).value<QPixmap>().toImage();
    std::set<QRgb> colours;
    for (int y = 0; y < frame.height(); y += 4)
        for (int x = 0; x < frame.width(); x += 4)
            colours.insert(frame.pixel(x, y));
    EXPECT_GT(colours.size(), 8u); // the test pattern's bars, not a blank
}

// A sound shows its cover, which this player gives only through the tags read here; a sound
// without one keeps its type's icon and is not damaged for that.
TEST(VideoThumbnails, ASoundShowsItsCoverPicture)
{
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "GStreamer's own threads are invisible to ThreadSanitizer; the plain and ASan builds run this";
#endif
    const std::pair<QString, std::string> sounds[] = {
        {QStringLiteral("MP300001.MP3"),
         "ffmpeg -v error -f lavfi -i testsrc=size=96x96 -frames:v 1 c.png && ffmpeg -v error -f lavfi -i "
         "sine=duration=1 -i c.png -map 0 -map 1 -c:v png -disposition:v attached_pic -f mp3 out"},
        {QStringLiteral("MP300002.MP3"), "ffmpeg -v error -f lavfi -i sine=duration=1 -f mp3 out"}};
    std::vector<std::uint8_t> card;
    ResultScreen screen(3);
    for (const auto& [name, command] : sounds) {
        const test::Sample sound = test::runEncoder("ffmpeg", command);
        if (!sound.skipReason.empty())
            GTEST_SKIP() << sound.skipReason;
        screen.add(name, card.size() / 512, sound.bytes.size());
        card.insert(card.end(), sound.bytes.begin(), sound.bytes.end());
        card.resize((card.size() + 511) / 512 * 512);
    }
    MemorySectorOpener opener;
    opener.addImage("card", card);
    VideoThumbnails pictures(screen.images, opener, [] { return std::make_unique<FirstFrameGrabber>(); });
    pictures.start("card", false);
    screen.measured();
    ASSERT_TRUE(QTest::qWaitFor([&] { return screen.pictured.size() == 2; }, 4 * FirstFrameGrabber::timeoutMs));
    for (const int row : {0, 1}) {
        const QModelIndex cell = screen.images.index(row);
        EXPECT_EQ(cell.data(Qt::DecorationRole).value<QPixmap>().size(), row == 0 ? QSize(96, 96) : QSize(64, 64));
        EXPECT_EQ(cell.data(FoundFileList::ConditionRole).toInt(), static_cast<int>(FileCondition::Unknown));
    }
}

} // namespace
} // namespace salvyn
