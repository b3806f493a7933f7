#include "scan/qt/progressticker.h"

#include "scan/qt/runonui.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QThread>
#include <QTimer>

namespace salvyn {

// Lives in the ticker thread: the timer and its stop.
class ProgressTicker::Timer final : public QObject {
public:
    Timer(QObject* uiObject, std::function<void()> tick, std::function<void()> lastTick)
        : m_uiObject(uiObject), m_timer(new QTimer(this)), m_lastTick(std::move(lastTick))
    {
        m_timer->setInterval(500);
        connect(m_timer, &QTimer::timeout, this, std::move(tick));
    }
    void begin()
    {
        if (!m_stopped)
            m_timer->start();
    }
    void end()
    {
        if (m_stopped)
            return;
        m_stopped = true;
        m_timer->stop();
        runOnUi(m_uiObject, m_lastTick);
        thread()->quit();
    }

private:
    QObject* m_uiObject;
    QTimer* m_timer;
    std::function<void()> m_lastTick;
    bool m_stopped = false;
};

ProgressTicker::ProgressTicker(QObject* uiObject, std::function<void()> tick, std::function<void()> lastTick)
    : m_thread(new QThread), m_timer(new Timer(uiObject, std::move(tick), std::move(lastTick)))
{
    m_timer->moveToThread(m_thread);
    connect(m_thread, &QThread::started, m_timer, [timer = m_timer] { timer->begin(); }, Qt::DirectConnection);
}

ProgressTicker::~ProgressTicker()
{
    if (m_thread->isRunning()) {
        // The last tick waits for this thread: serve it while waiting.
        QEventLoop loop;
        connect(m_thread, &QThread::finished, &loop, &QEventLoop::quit);
        stop();
        if (m_thread->isRunning())
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        m_thread->wait();
    }
    delete m_timer; // its thread no longer runs
    delete m_thread;
}

void ProgressTicker::start()
{
    m_thread->setObjectName(QStringLiteral("salvyn-progress"));
    m_thread->start();
}

void ProgressTicker::stop()
{
    // One request is enough. A second one could be posted just as the ticker thread ends, into
    // a queue that thread no longer serves.
    if (m_stopPosted.exchange(true))
        return;
    QMetaObject::invokeMethod(m_timer, [timer = m_timer] { timer->end(); }, Qt::QueuedConnection);
}

} // namespace salvyn
