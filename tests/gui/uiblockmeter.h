#pragma once
// Measures the longest time the UI thread went without serving its events while it lives:
// a 5 ms timer notes the gaps between its ticks.
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

namespace salvyn::testing {

class UiBlockMeter {
public:
    // What a person notices. Sanitizer builds run the same work ten times slower on a busy
    // machine, so they allow more, still short of the one-second waits the tests hold.
#ifdef SALVYN_SANITIZED
    static constexpr qint64 kLongestStallMs = 600;
#else
    static constexpr qint64 kLongestStallMs = 50;
#endif

    UiBlockMeter()
    {
        m_clock.start();
        QObject::connect(&m_ticker, &QTimer::timeout, [this] {
            m_longestGapMs = std::max(m_longestGapMs, m_clock.elapsed() - m_lastTickMs);
            m_lastTickMs = m_clock.elapsed();
        });
        m_ticker.start(5);
    }
    qint64 longestGapMs() const { return m_longestGapMs; }

private:
    QElapsedTimer m_clock;
    QTimer m_ticker;
    qint64 m_lastTickMs = 0, m_longestGapMs = 0;
};

} // namespace salvyn::testing
