#include "results/ui/previewpresenter.h"

#include "results/ui/previewdisplay.h"

#include <QFile>

namespace salvyn {

PreviewPresenter::PreviewPresenter(QWidget* controlPanel, SectorSourceOpener& opener, SearchState& state,
                                   const PreviewFolder& folder, PreviewDisplay& display, Hooks hooks)
    : m_sheet(controlPanel), m_display(display), m_hooks(std::move(hooks)),
      m_extraction(opener, state, folder, *this)
{
}

void PreviewPresenter::previewFoundFile(const QString& path, std::uint64_t File_Start_Sector,
                                        std::uint64_t File_End_Sector)
{
    m_display.clearImageView();
    m_display.closemovie_Win();
    m_extraction.CreateFile_QuickLook_Preview(QFile::encodeName(m_hooks.mediumIdentifier()).toStdString(),
                                              {path.toStdString(), File_Start_Sector, File_End_Sector});
}

QString PreviewPresenter::preview_file_path() const
{
    return QString::fromStdString(m_extraction.preview_file_path());
}

void PreviewPresenter::beginSheet()
{
    m_sheet.beginSheet();
}

void PreviewPresenter::QuickLook_Preview_Thread(const std::string& name, PreviewWayOut way)
{
    const QString foundName = QString::fromStdString(name);
    if (way == PreviewWayOut::MediumNotOpened)
        m_display.showTypeIconOf(foundName);
    else
        m_display.QuickLook_Preview_Thread(foundName, preview_file_path());
}

void PreviewPresenter::endSheet()
{
    m_sheet.endSheet();
}

void PreviewPresenter::Final_or_Stop_Screen()
{
    m_hooks.Final_or_Stop_Screen();
}

} // namespace salvyn
