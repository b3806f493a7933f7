#include "results/ui/previewpresenter.h"

#include "results/previewlength.h"
#include "results/ui/foundfiledevice.h"
#include "results/ui/previewdisplay.h"
#include "scan/searchstate.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>

namespace salvyn {

PreviewPresenter::PreviewPresenter(QWidget* controlPanel, SectorSourceOpener& opener, SearchState& state,
                                   const PreviewFolder& folder, PreviewDisplay& display, Hooks hooks)
    : m_opener(opener), m_state(state), m_sheet(controlPanel), m_display(display), m_hooks(std::move(hooks)),
      m_extraction(opener, state, folder, *this)
{
}

PreviewPresenter::~PreviewPresenter()
{
    if (!m_worker)
        return;
    m_worker->wait(); // the copy never waits on this thread, so this wait ends
    delete m_worker;
}

void PreviewPresenter::previewFoundFile(const QString& path, std::uint64_t File_Start_Sector,
                                        std::uint64_t File_End_Sector)
{
    FoundFileRange file{path.toStdString(), File_Start_Sector, File_End_Sector};
    if (m_worker) {
        m_next = std::move(file);
        return;
    }
    m_display.clearImageView();
    m_display.closemovie_Win();
    m_extraction.begin();
    const bool movies = m_display.offersMovies();
    m_worker = QThread::create([this, medium = QFile::encodeName(m_hooks.mediumIdentifier()).toStdString(), file,
                                movies] {
        m_way = PreviewWayOut::Finished;
        if (movies)
            m_wholeFile = openWholeFile(medium, file);
        if (!m_wholeFile)
            m_way = m_extraction.copy(medium, file);
    });
    QObject::connect(m_worker, &QThread::finished, &m_sheet, [this, name = file.name] { copied(name); },
                     Qt::QueuedConnection);
    m_worker->start();
}

void PreviewPresenter::copied(const std::string& name)
{
    m_worker->wait(); // the outcome and the preview file are complete once the thread is gone
    delete m_worker;
    m_worker = nullptr;
    m_extraction.end(m_way, name);
    if (std::optional<FoundFileRange> next = std::exchange(m_next, std::nullopt))
        previewFoundFile(QString::fromStdString(next->name), next->File_Start_Sector, next->File_End_Sector);
}

std::optional<MovieDevices> PreviewPresenter::openWholeFile(const std::string& medium, const FoundFileRange& file)
{
    SectorSourceOpening playing = m_opener.open(medium);
    if (!playing.stream)
        return std::nullopt;
    // A search that ends meanwhile hands its final screen over (stop_now): the copy of the
    // range then stops at once too.
    const std::optional<std::uint64_t> bytes =
        wholeFileBeyondRange(file.name, file.File_Start_Sector, file.File_End_Sector, *playing.stream,
                             [this] { return m_state.stop_now.load() == 0; });
    if (!bytes)
        return std::nullopt;
    SectorSourceOpening still = m_opener.open(medium);
    if (!still.stream)
        return std::nullopt;
    MovieDevices devices{std::make_unique<FoundFileDevice>(std::move(playing.stream), file.File_Start_Sector, *bytes),
                         std::make_unique<FoundFileDevice>(std::move(still.stream), file.File_Start_Sector, *bytes)};
    // The players read them on the UI thread.
    devices.playing->moveToThread(QCoreApplication::instance()->thread());
    devices.still->moveToThread(QCoreApplication::instance()->thread());
    return devices;
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
    if (std::optional<MovieDevices> wholeFile = std::exchange(m_wholeFile, std::nullopt))
        m_display.showMovieFromMedium(foundName, std::move(*wholeFile));
    else if (way == PreviewWayOut::MediumNotOpened)
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
