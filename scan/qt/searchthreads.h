#pragma once
// The two threads of a search: the worker running the passes, then the progress ticker.
// Both are owned here and never detached; the UI thread waits for them only inside a
// local event loop, so their blocking calls into the UI thread are still served.
// UI thread only, except stopTicker().
#include "scan/qt/progressticker.h"

#include <QObject>
#include <functional>
#include <memory>

class QThread;

namespace salvyn {

class SearchThreads final : public QObject {
    Q_OBJECT
public:
    explicit SearchThreads(QObject* uiObject);
    ~SearchThreads() override;

    // Starts the worker running `search`, then the ticker. A previous search must have
    // ended: waits for its threads first.
    void start(std::function<void()> search, std::function<void()> tick, std::function<void()> lastTick);
    // Ends the current ticker (any thread; harmless when there is none or it has ended).
    void stopTicker();
    // True while the worker or the ticker of the last search is alive.
    bool isRunning() const;
    // Waits up to `timeoutMs` (negative: without limit) for both threads in a local event
    // loop; true when both have ended.
    bool waitUntilFinished(int timeoutMs);

signals:
    void finished(); // both threads of the search have ended

private:
    void checkFinished();
    void releaseWorker();

    QObject* m_uiObject;
    QThread* m_worker = nullptr;
    std::unique_ptr<ProgressTicker> m_ticker;
};

} // namespace salvyn
