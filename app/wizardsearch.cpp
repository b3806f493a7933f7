#include "app/wizardsearch.h"

#include "scan/qt/foundfilelistsink.h"
#include "scan/qt/runonui.h"
#include "scan/qt/searchthreads.h"
#include "scan/qt/uithreadscanhost.h"
#include "scan/scancontext.h"
#include "scan/searchrun.h"

namespace salvyn {

WizardSearch::WizardSearch(QObject* uiObject, ScanHost& host, FoundFileList& images, SectorSourceOpener& opener,
                           ShowProgress showProgress)
    : m_uiObject(uiObject), m_opener(opener), m_showProgress(std::move(showProgress)),
      m_host(std::make_unique<UiThreadScanHost>(uiObject, host)), m_sink(std::make_unique<FoundFileListSink>(images)),
      m_threads(std::make_unique<SearchThreads>(uiObject))
{
}

WizardSearch::~WizardSearch()
{
    stop(-1);
}

void WizardSearch::start(SearchRequest request, const ResultRows* rows)
{
    m_threads->waitUntilFinished(-1); // never two searches at once
    m_request = std::move(request);
    m_context = std::make_unique<ScanContext>(ScanContext{m_request, m_state, *m_host, *m_sink, m_opener, rows});
    ScanContext* context = m_context.get();
    m_threads->start([context] { runSearch(*context); },
                     [this] {
                         if (auto display = timedTick())
                             runOnUi(m_uiObject, [this, shown = *display] { m_showProgress(shown); });
                     },
                     [this] {
                         if (const auto display = timedTick())
                             m_showProgress(*display);
                     });
}

std::optional<ProgressDisplay> WizardSearch::timedTick()
{
    auto display = progressTick(m_state);
    if (display) {
        m_speed.sample(m_state.for_index);
        display->speed = m_speed.text(m_state.end_sector);
    }
    return display;
}

void WizardSearch::stopTicker()
{
    m_threads->stopTicker();
}

bool WizardSearch::isRunning() const
{
    return m_threads->isRunning();
}

bool WizardSearch::waitUntilFinished(int timeoutMs)
{
    return m_threads->waitUntilFinished(timeoutMs);
}

bool WizardSearch::stop(int timeoutMs)
{
    m_state.stop_now = 1;
    m_threads->stopTicker();
    return m_threads->waitUntilFinished(timeoutMs);
}

} // namespace salvyn
