// The preview box: pictures rendered to fit, the movie view in the video and audio modes
// with its fall-backs, and the real movie view on media files made here.
#include "results/ui/mediamovieplayer.h"
#include "results/ui/previewdisplay.h"
#include "results/ui/previewrenderer.h"

#include "previewfiles.h"
#include "resultsuifakes.h"

#include <QtWidgets>
#include <gtest/gtest.h>

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

// The real movie view, on files made here. Skipped, with the reason, where this system
// cannot play media at all. ThreadSanitizer cannot follow GStreamer's threads: they hand
// buffers over through uninstrumented GLib locks, so every pipeline would be reported.
TEST(MediaMoviePlayer, OpensVideoAndAudioWithoutPlayingThemAndRefusesWhatIsNoMovie)
{
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "GStreamer's own threads are invisible to ThreadSanitizer; the plain and ASan builds run this";
#endif
    test::PreviewFiles files;
    MediaMoviePlayer player;
    if (!player.isAvailable())
        GTEST_SKIP() << "Qt Multimedia has no working media backend here (GStreamer plugins missing?)";
    EXPECT_TRUE(player.open(files.write("dprv.AVI", files.avi)));
    EXPECT_FALSE(player.isPlaying());
    EXPECT_TRUE(player.open(files.write("dprv.WAV", files.wav)));
    EXPECT_FALSE(player.isPlaying());
    player.close();
    EXPECT_FALSE(player.open(files.write("dprv.MP4", QByteArray(4096, '\x5a'))));
    EXPECT_FALSE(player.open(files.folder() + "/missing.MP4"));
}

} // namespace
} // namespace salvyn
