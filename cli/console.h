#pragma once
// The terminal of salvyn-scan: found files and messages as whole lines, and on a terminal a
// progress line on standard error that is cleared before other output. Any thread.
#include <mutex>
#include <string>

namespace salvyn {

class Console {
public:
    Console();
    void line(const std::string& text);      // standard output
    void errorLine(const std::string& text); // standard error
    void progress(const std::string& text);  // only on a terminal
    bool showsProgress() const { return m_progressShown; }

private:
    void clearProgress();

    std::mutex m_lock;
    const bool m_progressShown;
    bool m_progressOnScreen = false;
};

} // namespace salvyn
