// The preview box: pictures rendered to fit, the movie view in the video and audio modes
// with its fall-backs, and the real movie view on media files made here, among them phone
// videos far larger than a found range, played from a disk image.
#include "platform/qt/iconprovider.h"
#include "platform/rawsectoropener.h"
#include "results/previewfolder.h"
#include "results/ui/mediamovieplayer.h"
#include "results/ui/previewdisplay.h"
#include "results/ui/previewpresenter.h"
#include "results/ui/previewrenderer.h"
#include "scan/searchstate.h"

#include "doubles/samplefiles.h"
#include "previewfiles.h"
#include "resultsuifakes.h"

#include <QSignalSpy>
#include <QTest>
#include <QtWidgets>
#include <gtest/gtest.h>

#include <map>

namespace salvyn {
namespace {

QColor pixelAt(const QLabel& label, double x, double y)
{
    const QImage image = label.pixmap().toImage();
    return image.pixelColor(static_cast<int>(x * (image.width() - 1)), static_cast<int>(y * (image.height() - 1)));
}

// Icons in one plain colour per type, so a test can tell which type's icon is shown.
struct ColourIcons : IconProvider {
    static QColor colourOf(const QString& type) { return type == "WAV" ? Qt::yellow : Qt::gray; }
    QIcon iconForFileType(const QString& type) const override { QPixmap pixmap(16, 16); return pixmap.fill(colourOf(type)), QIcon(pixmap); }
};

TEST(PreviewRenderer, PicturesFitTheBoxTurnedAsTheySayNeverEnlargedAndOtherFilesGiveNone)
{
    test::PreviewFiles files;
    const QString bmp = files.folder() + "/dprv.BMP";
    ASSERT_TRUE(testing::twoColourImage(50, 40).save(bmp, "BMP"));
    const std::pair<QString, QSize> cases[] = {
        {files.write("dprv.PNG", files.png), {200, 150}},
        {files.write("dprv.JPG", testing::withExifOrientation6(testing::twoColourJpeg(400, 200))), {100, 200}},
        {bmp, {50, 40}},
        {files.write("dprv.PDF", files.pdf + QByteArray(700, '\0') + QByteArray(300, 'x')), {141, 200}}, // carved
        {files.write("dprv.TXT", "just some words\n"), {0, 0}},
        {files.write("dprv.XPDF", "%PDF-1.4 broken"), {0, 0}},
        {files.folder() + "/missing.PNG", {0, 0}},
    };
    const PreviewRenderer renderer;
    for (const auto& [path, size] : cases) {
        const QImage picture = renderer.render(path);
        EXPECT_NEAR(picture.width(), size.width(), 1) << path.toStdString();
        EXPECT_EQ(picture.height(), size.height()) << path.toStdString();
    }
    const QImage upright = renderer.render(files.folder() + "/dprv.JPG");
    EXPECT_GT(upright.pixelColor(50, 20).red(), 200);
    EXPECT_GT(upright.pixelColor(50, 180).blue(), 200);
}

struct PreviewDisplayTest : ::testing::Test {
    PreviewDisplayTest()
    {
        auto* layout = new QVBoxLayout(box);
        layout->addWidget(views._QuickLook_View);
        layout->addWidget(views.mMovieView);
    }
    PreviewDisplay displayIn(int mode) { return PreviewDisplay(views, movie, renderer, icons, [mode] { return mode; }); }

    test::PreviewFiles files;
    QWidget window;
    QGroupBox* box = new QGroupBox(QStringLiteral("No file is selected to preview"), &window);
    PreviewViews views{box, new QLabel(box), new QWidget(box)};
    testing::FakeMoviePlayer movie;
    PreviewRenderer renderer;
    ColourIcons icons;
};

TEST_F(PreviewDisplayTest, AMovieThatOpensShowsStoppedAndOtherwiseThePictureOrTheTypeIconShows)
{
    movie.opens = true;
    displayIn(3).QuickLook_Preview_Thread("some/folder/MP400001.MP4", "/cache/preview/dprv.MP4");
    EXPECT_EQ(box->title(), "MP400001.MP4");
    EXPECT_TRUE(!views.mMovieView->isHidden() && views._QuickLook_View->isHidden());
    EXPECT_FALSE(movie.isPlaying());

    movie.opens = false;
    displayIn(1).QuickLook_Preview_Thread("MOV00001.MOV", files.write("dprv.MOV", files.png));
    EXPECT_TRUE(views.mMovieView->isHidden() && !views._QuickLook_View->isHidden());
    EXPECT_EQ(pixelAt(*views._QuickLook_View, 0.1, 0.5), QColor(Qt::red));

    displayIn(3).QuickLook_Preview_Thread("WAV00002.WAV", files.write("dprv.WAV", "RIFF but no more"));
    EXPECT_EQ(views._QuickLook_View->pixmap().size(), QSize(200, 200));
    EXPECT_EQ(pixelAt(*views._QuickLook_View, 0.5, 0.5), ColourIcons::colourOf("WAV"));
    EXPECT_EQ(box->title(), "WAV00002.WAV");
}

// The still shown before Play, once it has come.
QImage stillOf(MediaMoviePlayer& player)
{
    if (player.still().isNull())
        QSignalSpy(&player, &MediaMoviePlayer::stillShown).wait(FirstFrameGrabber::timeoutMs + 1000);
    return player.still().toImage();
}

// The real movie view, on files made here. Skipped, with the reason, where this system
// cannot play media at all. ThreadSanitizer cannot follow GStreamer's threads: they hand
// buffers over through uninstrumented GLib locks, so every pipeline would be reported.
TEST(MediaMoviePlayer, OpensVideoAndAudioWithoutPlayingThemShowingAStillAndRefusesWhatIsNoMovie)
{
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "GStreamer's own threads are invisible to ThreadSanitizer; the plain and ASan builds run this";
#endif
    test::PreviewFiles files;
    ThemeIconProvider icons;
    MediaMoviePlayer player(icons);
    if (!player.isAvailable())
        GTEST_SKIP() << "Qt Multimedia has no working media backend here (GStreamer plugins missing?)";
    player.resize(320, 240);
    EXPECT_TRUE(player.open(files.write("dprv.AVI", files.avi)));
    EXPECT_FALSE(player.isPlaying());
    const QImage frame = stillOf(player);
    EXPECT_FALSE(frame.isNull());
    EXPECT_NE(frame.pixelColor(frame.width() / 2, frame.height() / 2), QColor(Qt::black));
    EXPECT_TRUE(player.open(files.write("dprv.WAV", files.wav)));
    EXPECT_FALSE(player.isPlaying());
    EXPECT_FALSE(stillOf(player).isNull()); // its type's icon and its length
    player.close();
    EXPECT_FALSE(player.open(files.write("dprv.MP4", QByteArray(4096, '\x5a'))));
    EXPECT_FALSE(player.open(files.folder() + "/missing.MP4"));
}

// A phone's video: lossless noise, so a few seconds are well over 40 MB, written the
// ordinary way with the index after the media data. Made once per run.
const test::Sample& phoneVideo(const std::string& format)
{
    static std::map<std::string, test::Sample> made;
    auto video = made.find(format);
    if (video == made.end()) {
        const std::string command = "ffmpeg -v error -y -f lavfi -i testsrc2=size=640x360:rate=30 -f lavfi -i "
                                    "sine=r=48000 -t 4 -vf noise=alls=60:allf=t -c:v libx264 -preset ultrafast -qp 0 "
                                    "-c:a aac -shortest -f " + format + " out";
        video = made.emplace(format, test::runEncoder("ffmpeg", command)).first;
    }
    return video->second;
}

// Selected as the raw-file pass lists it (18 MiB at most), the video plays whole, with its
// own duration and first frame, straight from a disk image that holds it between other files.
TEST(WholeFilePreview, AVideoWhoseIndexLiesBeyondItsFoundRangeOpensWholeFromTheMedium)
{
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "GStreamer's own threads are invisible to ThreadSanitizer; the plain and ASan builds run this";
#endif
    constexpr std::uint64_t first = 64, rangeSectors = 36864;
    const std::pair<std::string, QString> videos[] = {{"mp4", "MP400001.MP4"}, {"mov", "MOV00001.MOV"}};
    for (const auto& [format, name] : videos) {
        SCOPED_TRACE(format);
        const test::Sample& video = phoneVideo(format);
        if (!video.skipReason.empty())
            GTEST_SKIP() << video.skipReason;
        ASSERT_GT(video.bytes.size(), 40u << 20);
        test::PreviewFiles files;
        const std::vector<std::uint8_t> disk = test::layOut(first, video.bytes, 8, test::fillerBytes(1 << 20));
        const QString image = files.write("card.img", QByteArray(reinterpret_cast<const char*>(disk.data()),
                                                                 qsizetype(disk.size())));

        QWidget window;
        auto* box = new QGroupBox(&window);
        ThemeIconProvider icons;
        auto* movie = new MediaMoviePlayer(icons, box);
        movie->resize(320, 240);
        if (!movie->isAvailable())
            GTEST_SKIP() << "Qt Multimedia has no working media backend here";
        const PreviewRenderer renderer;
        PreviewDisplay display({box, new QLabel(box), movie}, *movie, renderer, icons, [] { return 1; });
        RawSectorOpener opener;
        SearchState state;
        const PreviewFolder folder((files.folder() + "/preview").toStdString());
        PreviewPresenter presenter(&window, opener, state, folder, display, {[&] { return image; }, [] {}});

        // After a movie played from a file, as when the user played an earlier preview.
        ASSERT_TRUE(movie->open(files.write("dprv.AVI", files.avi)));
        movie->findChild<QPushButton*>("moviePlayPause")->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return movie->isPlaying(); }, 5000));
        presenter.previewFoundFile(name, first, first + rangeSectors);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !presenter.isCopying(); }, 60000));
        EXPECT_EQ(box->title(), name);
        EXPECT_FALSE(movie->isHidden());
        EXPECT_NEAR(movie->durationMs(), 4000, 100);
        EXPECT_FALSE(stillOf(*movie).isNull());
        EXPECT_TRUE(presenter.preview_file_path().isEmpty()); // nothing copied
    }
}

} // namespace
} // namespace salvyn
