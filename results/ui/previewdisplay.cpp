#include "results/ui/previewdisplay.h"

#include "platform/qt/iconprovider.h"
#include "results/ui/movieplayer.h"
#include "results/ui/previewrenderer.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QUrl>

namespace salvyn {
namespace {

constexpr int kVideoMode = 1;
constexpr int kAudioMode = 3;

} // namespace

PreviewDisplay::PreviewDisplay(PreviewViews views, MoviePlayer& movie, const PreviewRenderer& renderer,
                               const IconProvider& icons, std::function<int()> recoveryMode)
    : m_views(views), m_movie(movie), m_renderer(renderer), m_icons(icons), m_recoveryMode(std::move(recoveryMode))
{
    m_views._QuickLook_View->setTextFormat(Qt::PlainText);
}

void PreviewDisplay::QuickLook_Preview_Thread(const QString& nameOrPath, const QString& previewFilePath)
{
    setQuickLook_Preview(previewFilePath, QFileInfo(nameOrPath).fileName());
}

void PreviewDisplay::showMovieFromMedium(const QString& nameOrPath, MovieDevices devices)
{
    const QString title = QFileInfo(nameOrPath).fileName();
    m_views._QuickLook_View_Box->setTitle(title);
    if (m_movie.open(std::move(devices), title)) {
        m_views._QuickLook_View->hide();
        m_views.mMovieView->show();
        return;
    }
    showTypeIconOf(nameOrPath);
}

void PreviewDisplay::showTypeIconOf(const QString& nameOrPath)
{
    const QFileInfo name(nameOrPath);
    if (offersMovies())
        showImageView();
    showIcon(name.suffix(), name.fileName());
}

void PreviewDisplay::setQuickLook_Preview(const QString& path, const QString& title)
{
    if (title.isNull())
        return;
    if (!offersMovies()) {
        Image_Preview(path, title);
        return;
    }
    m_views._QuickLook_View_Box->setTitle(title);
    if (m_movie.open(path)) {
        m_views._QuickLook_View->hide();
        m_views.mMovieView->show();
        return;
    }
    showImageView();
    Image_Preview(path, title);
}

void PreviewDisplay::Image_Preview(const QString& path, const QString& title)
{
    if (path.isEmpty() || !QUrl::fromLocalFile(path).isValid())
        return;
    const QImage picture = m_renderer.render(path);
    if (!picture.isNull()) {
        m_views._QuickLook_View_Box->setTitle(title);
        m_views._QuickLook_View->setPixmap(QPixmap::fromImage(picture));
        return;
    }
    showIcon(QFileInfo(path).suffix(), title);
}

void PreviewDisplay::closemovie_Win()
{
    stopPlayingMovie();
    m_movie.close();
}

void PreviewDisplay::stopPlayingMovie()
{
    if (isPlaying())
        m_movie.stop();
}

bool PreviewDisplay::isPlaying() const
{
    return m_movie.isPlaying();
}

void PreviewDisplay::clearImageView()
{
    m_views._QuickLook_View->clear();
}

bool PreviewDisplay::offersMovies() const
{
    const int mode = m_recoveryMode();
    return mode == kVideoMode || mode == kAudioMode;
}

void PreviewDisplay::showImageView()
{
    m_views.mMovieView->hide();
    m_views._QuickLook_View->show();
}

void PreviewDisplay::showIcon(const QString& type, const QString& title)
{
    m_views._QuickLook_View_Box->setTitle(title);
    const QIcon icon = m_icons.iconForFileType(type);
    if (icon.isNull()) {
        m_views._QuickLook_View->clear();
        return;
    }
    // Themes without a scalable icon hand out small bitmaps; the box shows every icon at one size.
    QPixmap pixmap = icon.pixmap(previewSide, previewSide);
    if (pixmap.width() < previewSide && pixmap.height() < previewSide)
        pixmap = pixmap.scaled(previewSide, previewSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    m_views._QuickLook_View->setPixmap(pixmap);
}

} // namespace salvyn
