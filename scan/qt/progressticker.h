#pragma once
// The progress ticker of a search: its own thread with a repeating 0.5 s timer. The timer
// object is made on the UI thread before the thread starts and moved into it, and stop()
// posts into that thread's queue, so a stop made before the thread has even started is not
// lost. After the timer has stopped, one last tick runs on the UI thread.
#include <QObject>
#include <atomic>
#include <functional>

class QThread;
class QTimer;

namespace salvyn {

class ProgressTicker final : public QObject {
    Q_OBJECT
public:
    // `tick` runs on the ticker thread at every timeout; `lastTick` once on the thread of
    // `uiObject` after the timer has stopped, the ticker thread waiting for it.
    ProgressTicker(QObject* uiObject, std::function<void()> tick, std::function<void()> lastTick);
    ~ProgressTicker() override;

    void start(); // UI thread
    void stop();  // any thread, any number of times
    QThread* thread() const { return m_thread; }

private:
    class Timer;
    QThread* m_thread = nullptr;
    Timer* m_timer = nullptr;
    std::atomic<bool> m_stopPosted{false};
};

} // namespace salvyn
