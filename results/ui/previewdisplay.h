#pragma once
// The preview box of the result screen for video, audio and other found files: shows a
// preview file as a movie (Video and Audio modes, when it opens as one), else as a small
// picture, else as its type's icon, under the found file's own name. Nothing here reports
// an error to the user. UI thread only.
#include "results/ui/movieplayer.h"

#include <QString>

#include <functional>

class QGroupBox;
class QLabel;
class QWidget;

namespace salvyn {

class IconProvider;
class PreviewRenderer;

// The widgets of the preview box, owned by the window.
struct PreviewViews {
    QGroupBox* _QuickLook_View_Box = nullptr; // its title names the file shown
    QLabel* _QuickLook_View = nullptr;        // the picture or icon
    QWidget* mMovieView = nullptr;            // holds the movie player's view
};

class PreviewDisplay {
public:
    // Side of the square a picture or icon is shown in.
    static constexpr int previewSide = 200;

    // `recoveryMode` answers the current `Recovery_MODE` (0 Photo, 1 Video, 2 Raw file,
    // 3 Audio). The movie player, renderer and icons must outlive the display.
    PreviewDisplay(PreviewViews views, MoviePlayer& movie, const PreviewRenderer& renderer, const IconProvider& icons,
                   std::function<int()> recoveryMode);

    // Shows the preview file under the last path component of `nameOrPath` as title.
    void QuickLook_Preview_Thread(const QString& nameOrPath, const QString& previewFilePath);
    // A found file read straight from the medium: in the movie view when it loads as a
    // movie, else as its type's icon (there is no preview file to draw).
    void showMovieFromMedium(const QString& nameOrPath, MovieDevices devices);
    // When the found file's medium could not be read: its name and its type's icon only,
    // never an older preview file under this name.
    void showTypeIconOf(const QString& nameOrPath);

    // Whether previews go to the movie view first: in the Video and Audio modes.
    bool offersMovies() const;
    // Video and Audio modes offer the file to the movie view first; the others never do.
    // A null title changes nothing.
    void setQuickLook_Preview(const QString& path, const QString& title);
    // The file's picture, else its type's icon, in the image view.
    void Image_Preview(const QString& path, const QString& title);

    // Stops the movie and takes it out of the view (before each new preview, and when the
    // result screen is hidden or shown).
    void closemovie_Win();
    void stopPlayingMovie();
    bool isPlaying() const;
    // Empties the image view (before each new preview).
    void clearImageView();

private:
    void showImageView();
    void showIcon(const QString& type, const QString& title);

    PreviewViews m_views;
    MoviePlayer& m_movie;
    const PreviewRenderer& m_renderer;
    const IconProvider& m_icons;
    std::function<int()> m_recoveryMode;
};

} // namespace salvyn
