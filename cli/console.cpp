#include "cli/console.h"

#include <cstdio>
#include <unistd.h>

namespace salvyn {

Console::Console() : m_progressShown(::isatty(STDERR_FILENO) == 1) {}

void Console::line(const std::string& text)
{
    std::lock_guard lock(m_lock);
    clearProgress();
    std::fputs((text + "\n").c_str(), stdout);
    std::fflush(stdout);
}

void Console::errorLine(const std::string& text)
{
    std::lock_guard lock(m_lock);
    clearProgress();
    std::fputs((text + "\n").c_str(), stderr);
}

void Console::progress(const std::string& text)
{
    if (!m_progressShown)
        return;
    std::lock_guard lock(m_lock);
    std::fputs(("\r\033[K" + text).c_str(), stderr);
    m_progressOnScreen = true;
}

void Console::clearProgress()
{
    if (!m_progressOnScreen)
        return;
    std::fputs("\r\033[K", stderr);
    m_progressOnScreen = false;
}

} // namespace salvyn
