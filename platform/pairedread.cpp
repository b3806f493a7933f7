#include "platform/pairedread.h"

#include <cerrno>
#include <system_error>
#include <unistd.h>

namespace salvyn {

std::size_t readFully(int fd, std::uint8_t* into, std::size_t size, std::uint64_t offset)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(fd, into + done, size - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

PairedRead::~PairedRead()
{
    if (!m_helper.joinable())
        return;
    {
        std::lock_guard lock(m_lock);
        m_quit = true;
    }
    m_changed.notify_all();
    m_helper.join();
}

std::size_t PairedRead::read(std::uint8_t* into, std::size_t size, std::uint64_t offset)
{
    if (size < kSplitBytes)
        return readFully(m_fd, into, size, offset);
    if (!m_helper.joinable()) {
        try {
            m_helper = std::thread([this] { helperLoop(); });
        } catch (const std::system_error&) {
            return readFully(m_fd, into, size, offset); // no thread to be had: one read does
        }
    }
    // Halves on a 4 KiB boundary, as the medium's pages lie.
    const std::size_t half = size / 2 / 4096 * 4096;
    {
        std::lock_guard lock(m_lock);
        m_jobInto = into + half;
        m_jobSize = size - half;
        m_jobOffset = offset + half;
        m_jobWaiting = true;
        m_jobDone = false;
    }
    m_changed.notify_all();
    const std::size_t first = readFully(m_fd, into, half, offset);
    std::unique_lock lock(m_lock);
    m_changed.wait(lock, [this] { return m_jobDone; });
    // Bytes after a short first half are not the medium's next ones: they are not counted.
    return first == half ? first + m_jobRead : first;
}

void PairedRead::helperLoop()
{
    std::unique_lock lock(m_lock);
    for (;;) {
        m_changed.wait(lock, [this] { return m_jobWaiting || m_quit; });
        if (m_quit)
            return;
        m_jobWaiting = false;
        lock.unlock();
        const std::size_t read = readFully(m_fd, m_jobInto, m_jobSize, m_jobOffset);
        lock.lock();
        m_jobRead = read;
        m_jobDone = true;
        m_changed.notify_all();
    }
}

} // namespace salvyn
