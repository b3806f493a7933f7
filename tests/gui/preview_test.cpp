#include "doubles/memorysectorsource.h"
#include "platform/qt/iconprovider.h"
#include "results/ui/mediamovieplayer.h"
#include "results/ui/previewdisplay.h"
#include "results/ui/previewpresenter.h"
#include "results/ui/previewrenderer.h"
#include "scan/searchstate.h"

#include "../core/scantestsupport.h"
#include "previewfiles.h"
#include "resultsuifakes.h"

#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace salvyn {
namespace {

QColor pixelAt(const QLabel& label, double x, double y)
{
    const QImage image = label.pixmap().toImage();
    return image.pixelColor(static_cast<int>(x * (image.width() - 1)), static_cast<int>(y * (image.height() - 1)));
}

// Icons in one plain colour per type, so a test can tell which type's icon is shown.
class ColourIcons : public IconProvider {
public:
    static QColor colourOf(const QString& type) { return type == "MP4" ? Qt::green : type == "WAV" ? Qt::yellow : Qt::gray; }
    QIcon iconForFileType(const QString& type) const override
    {
        asked << type;
        QPixmap pixmap(16, 16);
        pixmap.fill(colourOf(type));
        return QIcon(pixmap);
    }
    mutable QStringList asked;
};

class FakeMoviePlayer : public MoviePlayer {
public:
    bool open(const QString& path) override
    {
        opened << path;
        return opens;
    }
    void stop() override { ++stops, playing = false; }
    void close() override { ++closes, playing = false; }
    bool isPlaying() const override { return playing; }

    bool opens = false;
    bool playing = false;
    QStringList opened;
    int stops = 0;
    int closes = 0;
};

// The preview box of the result screen, as the window lays it out.
struct PreviewBox {
    PreviewBox()
    {
        auto* layout = new QVBoxLayout(box);
        layout->addWidget(views._QuickLook_View);
        layout->addWidget(views.mMovieView);
    }
    QWidget window;
    QGroupBox* box = new QGroupBox(QStringLiteral("No file is selected to preview"), &window);
    PreviewViews views{box, new QLabel(box), new QWidget(box)};
};

std::string sectorAligned(QByteArray bytes)
{
    bytes.append(QByteArray((512 - bytes.size() % 512) % 512, '\0'));
    return bytes.toStdString();
}

TEST(PreviewRenderer, PictureFitsTheBoxAndKeepsItsShape)
{
    test::PreviewFiles files;
    const QImage picture = PreviewRenderer().render(files.write("dprv.PNG", files.png()));
    ASSERT_EQ(picture.size(), QSize(200, 150));
    EXPECT_EQ(picture.pixelColor(10, 75), QColor(Qt::red));
    EXPECT_EQ(picture.pixelColor(190, 75), QColor(Qt::blue));
}

TEST(PreviewRenderer, PhotoIsTurnedAsItsOrientationSays)
{
    test::PreviewFiles files;
    const QByteArray jpeg = testing::withExifOrientation6(testing::twoColourJpeg(400, 200));
    const QImage picture = PreviewRenderer().render(files.write("dprv.JPG", jpeg));
    ASSERT_EQ(picture.size(), QSize(100, 200));
    EXPECT_GT(picture.pixelColor(50, 20).red(), 200);
    EXPECT_GT(picture.pixelColor(50, 180).blue(), 200);
}

TEST(PreviewRenderer, SmallPictureIsNotEnlarged)
{
    test::PreviewFiles files;
    QImage small(50, 40, QImage::Format_RGB32);
    small.fill(Qt::white);
    const QString path = files.folder() + "/dprv.BMP";
    ASSERT_TRUE(small.save(path, "BMP"));
    EXPECT_EQ(PreviewRenderer().render(path).size(), QSize(50, 40));
}

TEST(PreviewRenderer, PdfShowsItsFirstPageEvenWithTheSectorsAfterItsEnd)
{
    test::PreviewFiles files;
    const QByteArray carved = files.pdf() + QByteArray(700, '\0') + QByteArray(300, 'x');
    const QImage page = PreviewRenderer().render(files.write("dprv.PDF", carved));
    ASSERT_FALSE(page.isNull());
    EXPECT_EQ(page.height(), 200);
    EXPECT_NEAR(page.width(), 141, 1);
    EXPECT_LT(page.pixelColor(5, 5).lightness(), 60);
    EXPECT_GT(page.pixelColor(page.width() - 5, page.height() - 5).lightness(), 200);
}

TEST(PreviewRenderer, FilesThatAreNoPictureGiveNone)
{
    test::PreviewFiles files;
    const PreviewRenderer renderer;
    EXPECT_TRUE(renderer.render(files.write("dprv.TXT", "just some words\n")).isNull());
    EXPECT_TRUE(renderer.render(files.write("dprv", {})).isNull());
    EXPECT_TRUE(renderer.render(files.write("dprv.PDF", "%PDF-1.4 broken")).isNull());
    EXPECT_TRUE(renderer.render(files.folder() + "/missing.PNG").isNull());
    EXPECT_TRUE(renderer.render({}).isNull());
}

class PreviewDisplayTest : public ::testing::Test {
protected:
    PreviewDisplay displayIn(int mode)
    {
        return PreviewDisplay(box.views, movie, renderer, icons, [mode] { return mode; });
    }

    test::PreviewFiles files;
    PreviewBox box;
    FakeMoviePlayer movie;
    PreviewRenderer renderer;
    ColourIcons icons;
};

TEST_F(PreviewDisplayTest, VideoAndAudioModesShowAMovieThatOpensStoppedUnderTheFoundName)
{
    movie.opens = true;
    for (const int mode : {1, 3}) {
        box.views.mMovieView->hide();
        displayIn(mode).QuickLook_Preview_Thread("some/folder/MP400001.MP4", "/cache/preview/dprv.MP4");
        EXPECT_EQ(movie.opened.takeLast(), "/cache/preview/dprv.MP4");
        EXPECT_EQ(box.box->title(), "MP400001.MP4");
        EXPECT_FALSE(box.views.mMovieView->isHidden());
        EXPECT_TRUE(box.views._QuickLook_View->isHidden());
        EXPECT_FALSE(movie.isPlaying());
    }
}

TEST_F(PreviewDisplayTest, MovieThatDoesNotOpenFallsBackToThePicture)
{
    const QString path = files.write("dprv.MOV", files.png());
    displayIn(1).QuickLook_Preview_Thread("MOV00001.MOV", path);
    EXPECT_EQ(movie.opened, QStringList{path});
    EXPECT_TRUE(box.views.mMovieView->isHidden());
    EXPECT_FALSE(box.views._QuickLook_View->isHidden());
    EXPECT_EQ(box.box->title(), "MOV00001.MOV");
    EXPECT_EQ(pixelAt(*box.views._QuickLook_View, 0.1, 0.5), QColor(Qt::red));
}

TEST_F(PreviewDisplayTest, NeitherMovieNorPictureShowsTheTypeIconAtFullSize)
{
    displayIn(3).QuickLook_Preview_Thread("WAV00002.WAV", files.write("dprv.WAV", "RIFF but no more"));
    EXPECT_EQ(icons.asked, QStringList{"WAV"});
    EXPECT_EQ(box.views._QuickLook_View->pixmap().size(), QSize(200, 200));
    EXPECT_EQ(pixelAt(*box.views._QuickLook_View, 0.5, 0.5), ColourIcons::colourOf("WAV"));
    EXPECT_EQ(box.box->title(), "WAV00002.WAV");
}

TEST_F(PreviewDisplayTest, RawFileModeNeverOffersTheMovieView)
{
    movie.opens = true;
    const bool movieViewHidden = box.views.mMovieView->isHidden();
    displayIn(2).QuickLook_Preview_Thread("MP400001.MP4", files.write("dprv.MP4", "not a picture"));
    EXPECT_TRUE(movie.opened.isEmpty());
    EXPECT_EQ(box.views.mMovieView->isHidden(), movieViewHidden);
    EXPECT_EQ(pixelAt(*box.views._QuickLook_View, 0.5, 0.5), ColourIcons::colourOf("MP4"));
}

TEST_F(PreviewDisplayTest, AbsentTitleChangesNothing)
{
    movie.opens = true;
    displayIn(1).setQuickLook_Preview(files.write("dprv.PNG", files.png()), QString());
    EXPECT_TRUE(movie.opened.isEmpty());
    EXPECT_EQ(box.box->title(), "No file is selected to preview");
    EXPECT_TRUE(box.views._QuickLook_View->pixmap().isNull());
}

TEST_F(PreviewDisplayTest, ClosingAPlayingMovieStopsItFirst)
{
    PreviewDisplay display = displayIn(1);
    movie.playing = true;
    EXPECT_TRUE(display.isPlaying());
    display.closemovie_Win();
    EXPECT_EQ(movie.stops, 1);
    EXPECT_EQ(movie.closes, 1);
    display.closemovie_Win();
    EXPECT_EQ(movie.stops, 1);
    EXPECT_EQ(movie.closes, 2);
}

TEST_F(PreviewDisplayTest, UnreadableMediumShowsTheNewNamesTypeIcon)
{
    movie.opens = true;
    PreviewDisplay display = displayIn(3);
    display.QuickLook_Preview_Thread("first.MP4", "/cache/preview/dprv.MP4");
    display.showTypeIconOf("WAV00009.WAV");
    EXPECT_EQ(movie.opened.size(), 1);
    EXPECT_TRUE(box.views.mMovieView->isHidden());
    EXPECT_FALSE(box.views._QuickLook_View->isHidden());
    EXPECT_EQ(box.box->title(), "WAV00009.WAV");
    EXPECT_EQ(pixelAt(*box.views._QuickLook_View, 0.5, 0.5), ColourIcons::colourOf("WAV"));
}

// Counts what the display asks of a movie view.
class CountingMoviePlayer : public MoviePlayer {
public:
    explicit CountingMoviePlayer(MoviePlayer& real) : m_real(real) {}
    bool open(const QString& path) override { return ++opens, m_real.open(path); }
    void stop() override { m_real.stop(); }
    void close() override { m_real.close(); }
    bool isPlaying() const override { return m_real.isPlaying(); }
    int opens = 0;

private:
    MoviePlayer& m_real;
};

// Whole selections: sectors of a card image copied into the preview folder and shown.
class PreviewFlowTest : public ::testing::Test {
protected:
    static constexpr std::uint64_t mp4Sector = 10;
    static constexpr std::uint64_t pngSector = 300;

    void SetUp() override
    {
        if (!files.whyMissing().isEmpty())
            GTEST_SKIP() << files.whyMissing().toStdString();
        mp4Sectors = static_cast<std::uint64_t>(sectorAligned(files.mp4()).size() / 512);
        std::string card = std::string(mp4Sector * 512, '\0') + sectorAligned(files.mp4());
        card.resize(pngSector * 512, '\0');
        card += sectorAligned(files.png()) + std::string(512, '\x11');
        media.addImage("card", std::vector<std::uint8_t>(card.begin(), card.end()));
    }

    std::unique_ptr<PreviewPresenter> presenterFor(int mode, MoviePlayer& movie, SectorSourceOpener& opener,
                                                   std::function<void()> finalScreen = {})
    {
        display = std::make_unique<PreviewDisplay>(box.views, movie, renderer, icons, [mode] { return mode; });
        PreviewPresenter::Hooks hooks{[this] { return medium; },
                                      finalScreen ? std::move(finalScreen) : [this] { ++finalScreens; }};
        return std::make_unique<PreviewPresenter>(&box.window, opener, state, folder, *display, hooks);
    }

    test::PreviewFiles files;
    std::uint64_t mp4Sectors = 0;
    MemorySectorOpener media;
    SearchState state;
    QTemporaryDir cache;
    PreviewFolder folder{(cache.path() + "/preview").toStdString()};
    PreviewBox box;
    FakeMoviePlayer fakeMovie;
    PreviewRenderer renderer;
    ColourIcons icons;
    std::unique_ptr<PreviewDisplay> display;
    QString medium = "card";
    int finalScreens = 0;
};

TEST_F(PreviewFlowTest, UnreadableMediumShowsTheIconNotThePreviousFile)
{
    auto presenter = presenterFor(2, fakeMovie, media);
    presenter->previewFoundFile("PNG00001.PNG", pngSector, pngSector + 10);
    ASSERT_EQ(pixelAt(*box.views._QuickLook_View, 0.1, 0.5), QColor(Qt::red));
    const QString firstPreview = presenter->preview_file_path();

    medium = "unplugged";
    presenter->previewFoundFile("MP400002.MP4", mp4Sector, mp4Sector + mp4Sectors);
    EXPECT_EQ(box.box->title(), "MP400002.MP4");
    EXPECT_EQ(pixelAt(*box.views._QuickLook_View, 0.1, 0.5), ColourIcons::colourOf("MP4"));
    EXPECT_EQ(presenter->preview_file_path(), firstPreview);
    EXPECT_TRUE(QFile::exists(firstPreview));
}

TEST_F(PreviewFlowTest, SelectionStopsThePlayingMovieBeforeTheCopy)
{
    auto presenter = presenterFor(1, fakeMovie, media);
    fakeMovie.playing = true;
    presenter->previewFoundFile("PNG00001.PNG", pngSector, pngSector + 10);
    EXPECT_EQ(fakeMovie.stops, 1);
    EXPECT_EQ(fakeMovie.closes, 1);
    EXPECT_EQ(fakeMovie.opened, QStringList{presenter->preview_file_path()});
}

TEST_F(PreviewFlowTest, SearchEndingDuringTheCopyGetsItsFinalScreenAfterThePartialPreview)
{
    std::unique_ptr<PreviewPresenter> presenter;
    bool sheetUpDuringCopy = false;
    bool handedOver = false;
    test::BeforeReadOpener opener(media, [&](std::uint64_t sector) {
        if (sector != pngSector + 2)
            return;
        const QDialog& sheet = presenter->ClearPreview_Window();
        sheetUpDuringCopy = sheet.isVisible() && sheet.windowModality() == Qt::WindowModal;
        handedOver = state.handOffToPreview(); // the search worker's last step
    });
    QStringList seenAtFinal;
    presenter = presenterFor(2, fakeMovie, opener, [&] {
        seenAtFinal << (presenter->ClearPreview_Window().isHidden() ? "sheet down" : "sheet up") << box.box->title();
    });
    box.window.show();

    presenter->previewFoundFile("PNG00001.PNG", pngSector, pngSector + 10);
    EXPECT_TRUE(sheetUpDuringCopy);
    EXPECT_TRUE(handedOver);
    EXPECT_EQ(seenAtFinal, (QStringList{"sheet down", "PNG00001.PNG"}));
    EXPECT_EQ(QFileInfo(presenter->preview_file_path()).size(), 3 * 512);
}

// The same flows with the real movie view, on files ffmpeg made. Skipped, with the reason,
// where this system cannot play media at all; a file that does not open where it can is a
// failure. ThreadSanitizer cannot follow GStreamer's threads: they hand buffers over through
// uninstrumented GLib locks, so every pipeline would be reported as racing.
class RealMoviePreviewFlowTest : public PreviewFlowTest {
protected:
    void SetUp() override
    {
#if defined(__SANITIZE_THREAD__)
        GTEST_SKIP() << "GStreamer's own threads are invisible to ThreadSanitizer; the plain and ASan builds run this";
#endif
        PreviewFlowTest::SetUp();
        if (IsSkipped())
            return;
        player = std::make_unique<MediaMoviePlayer>();
        if (!player->isAvailable())
            GTEST_SKIP() << "Qt Multimedia has no working media backend here (GStreamer plugins missing?)";
        counting = std::make_unique<CountingMoviePlayer>(*player);
        auto* layout = new QVBoxLayout(box.views.mMovieView);
        layout->addWidget(player.get());
    }
    std::unique_ptr<MediaMoviePlayer> player;
    std::unique_ptr<CountingMoviePlayer> counting;
};

TEST_F(RealMoviePreviewFlowTest, VideoModeOpensTheFoundMp4InTheMovieView)
{
    auto presenter = presenterFor(1, *counting, media);
    presenter->previewFoundFile("MP400001.MP4", mp4Sector, mp4Sector + mp4Sectors);
    EXPECT_EQ(presenter->preview_file_path(), cache.path() + "/preview/dprv.MP4");
    EXPECT_EQ(counting->opens, 1);
    EXPECT_FALSE(box.views.mMovieView->isHidden());
    EXPECT_TRUE(box.views._QuickLook_View->isHidden());
    EXPECT_FALSE(player->isPlaying());
    EXPECT_EQ(box.box->title(), "MP400001.MP4");
    EXPECT_TRUE(presenter->ClearPreview_Window().isHidden());
    EXPECT_EQ(finalScreens, 0);
}

TEST_F(RealMoviePreviewFlowTest, RawFileModeShowsAPictureOrIconForTheSameMp4NeverTheMovieView)
{
    auto presenter = presenterFor(2, *counting, media);
    box.views.mMovieView->hide();
    presenter->previewFoundFile("MP400001.MP4", mp4Sector, mp4Sector + mp4Sectors);
    EXPECT_EQ(counting->opens, 0);
    EXPECT_TRUE(box.views.mMovieView->isHidden());
    EXPECT_FALSE(box.views._QuickLook_View->pixmap().isNull());
    EXPECT_EQ(box.box->title(), "MP400001.MP4");
}

TEST_F(RealMoviePreviewFlowTest, OpensVideoAndAudioWithoutPlayingThemAndRefusesWhatIsNoMovie)
{
    EXPECT_TRUE(player->open(files.write("dprv.MP4", files.mp4())));
    EXPECT_FALSE(player->isPlaying());
    EXPECT_TRUE(player->open(files.write("dprv.WAV", files.wav())));
    EXPECT_FALSE(player->isPlaying());
    player->close();
    EXPECT_FALSE(player->isPlaying());
    EXPECT_FALSE(player->open(files.write("dprv.MP4", QByteArray(4096, '\x5a'))));
    EXPECT_FALSE(player->open(files.folder() + "/missing.MP4"));
}

} // namespace
} // namespace salvyn
