#pragma once
// The search the wizard runs: the request handed over by Next, the worker and ticker
// threads with what they work with, and the progress they show on the way. Owns the
// search state, which the threads share. UI thread only, except `state()`.
#include "scan/passspeed.h"
#include "scan/progress.h"
#include "scan/searchrequest.h"
#include "scan/searchstate.h"

#include <functional>
#include <memory>

class QObject;

namespace salvyn {

class FoundFileList;
class FoundFileListSink;
class ResultRows;
class ScanHost;
class SearchThreads;
class SectorSourceOpener;
class UiThreadScanHost;
struct ScanContext;

class WizardSearch {
public:
    using ShowProgress = std::function<void(const ProgressDisplay&)>;

    // What the worker reports reaches `host` and `images` on the thread of `uiObject`.
    WizardSearch(QObject* uiObject, ScanHost& host, FoundFileList& images, SectorSourceOpener& opener,
                 ShowProgress showProgress);
    ~WizardSearch();

    SearchState& state() { return m_state; }
    // Starts the search of `request`, numbering other files on from `rows`; a search that
    // still runs is waited for first.
    void start(SearchRequest request, const ResultRows* rows);
    void stopTicker();
    bool isRunning() const;
    // Waits (in a local event loop) up to `timeoutMs`, or without limit when negative.
    bool waitUntilFinished(int timeoutMs);
    // Asks a running search to stop and waits as above; true when its threads have ended.
    bool stop(int timeoutMs);

private:
    std::optional<ProgressDisplay> timedTick(); // ticker thread, and the last tick on the UI thread

    QObject* m_uiObject;
    SectorSourceOpener& m_opener;
    ShowProgress m_showProgress;
    SearchState m_state;
    PassSpeed m_speed; // sampled by the ticker
    SearchRequest m_request;
    std::unique_ptr<UiThreadScanHost> m_host;
    std::unique_ptr<FoundFileListSink> m_sink;
    std::unique_ptr<ScanContext> m_context;
    std::unique_ptr<SearchThreads> m_threads; // goes first, before what its threads work with
};

} // namespace salvyn
