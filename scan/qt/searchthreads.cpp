#include "scan/qt/searchthreads.h"

#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace salvyn {

SearchThreads::SearchThreads(QObject* uiObject) : QObject(uiObject), m_uiObject(uiObject) {}

SearchThreads::~SearchThreads()
{
    waitUntilFinished(-1);
    releaseWorker();
}

void SearchThreads::start(std::function<void()> search, std::function<void()> tick,
                          std::function<void()> lastTick)
{
    waitUntilFinished(-1);
    releaseWorker();
    m_ticker = std::make_unique<ProgressTicker>(m_uiObject, std::move(tick), std::move(lastTick));
    m_worker = QThread::create(std::move(search));
    m_worker->setObjectName(QStringLiteral("salvyn-search"));
    connect(m_worker, &QThread::finished, this, &SearchThreads::checkFinished);
    connect(m_ticker->thread(), &QThread::finished, this, &SearchThreads::checkFinished);
    m_worker->start();
    m_ticker->start();
}

void SearchThreads::stopTicker()
{
    if (m_ticker)
        m_ticker->stop();
}

bool SearchThreads::isRunning() const
{
    return (m_worker && m_worker->isRunning()) || (m_ticker && m_ticker->thread()->isRunning());
}

bool SearchThreads::waitUntilFinished(int timeoutMs)
{
    if (!isRunning())
        return true;
    QEventLoop loop;
    connect(this, &SearchThreads::finished, &loop, &QEventLoop::quit);
    if (timeoutMs >= 0)
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (isRunning())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return !isRunning();
}

void SearchThreads::releaseWorker()
{
    if (m_worker)
        m_worker->wait(); // it may still be leaving its run after saying it finished
    delete m_worker;
    m_worker = nullptr;
}

void SearchThreads::checkFinished()
{
    if (!isRunning())
        emit finished();
}

} // namespace salvyn
