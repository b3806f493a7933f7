#pragma once
// Measures the longest time the UI thread went without serving its events while it lives:
// a 5 ms timer notes the gaps between its ticks.
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

namespace salvyn::testing {

class UiBlockMeter {
public:
    // What a person notices; sanitizer builds run the same work several times slower, and still
    // fall well short of the waits the tests hold (300 ms and more).
#ifdef SALVYN_SANITIZED
    static constexpr qint64 kLongestStallMs = 200;
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
