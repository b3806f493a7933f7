#include "app/previewbox.h"

#include "app/searchscreen.h"
#include "results/previewfolder.h"
#include "results/ui/imagebrowserview.h"
#include "results/ui/previewdisplay.h"
#include "results/ui/previewrenderer.h"
#include "wizard/wizardmodel.h"

#include <QFile>
#include <QLabel>

namespace salvyn {

PreviewBox::PreviewBox(QWidget* controlPanel, const SearchScreen& screen, const ControllerServices& services,
                       SearchState& state, PreviewPresenter::Hooks hooks, std::function<int()> mode,
                       std::function<bool()> busy)
    : m_screen(screen), m_mode(mode),
      m_folder(std::make_unique<PreviewFolder>(QFile::encodeName(services.previewFolder).toStdString())),
      m_renderer(std::make_unique<PreviewRenderer>()),
      m_display(std::make_unique<PreviewDisplay>(
          PreviewViews{screen._QuickLook_View_Box, screen._QuickLook_View, screen.mMovieView},
          *services.moviePlayerIn(screen.mMovieView), *m_renderer, *services.icons, std::move(mode))),
      m_presenter(std::make_unique<PreviewPresenter>(controlPanel, *services.opener, state, *m_folder, *m_display,
                                                     std::move(hooks)))
{
    QObject::connect(screen.imageBrowser_2, &ImageBrowserView::previewRequested, controlPanel,
                     [this, busy = std::move(busy)](const MyImageObject& found) {
                         if (!busy())
                             m_presenter->previewFoundFile(found.path, found.File_Start_Sector, found.File_End_Sector);
                     });
}

PreviewBox::~PreviewBox() = default;

void PreviewBox::showView(bool show)
{
    if (m_mode() == static_cast<int>(RecoveryMode::RawFile)) {
        m_screen._QuickLook_View->setHidden(!show);
        m_display->clearImageView();
    } else {
        m_screen.mMovieView->setHidden(!show);
        m_display->closemovie_Win();
    }
}

} // namespace salvyn
