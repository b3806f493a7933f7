#include "platform/pairedread.h"

#include <cerrno>
#include <chrono>
#include <system_error>
#include <unistd.h>

namespace salvyn {

namespace {

constexpr std::uint32_t kQuit = ~std::uint32_t{0};

// Tells the processor this thread is only watching a value, so that its sibling gets the core.
inline void watchingPause()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
}

// Waits until `counter` differs from `old`. A hand-over between the two threads comes every
// few dozen microseconds on fast media, less than a sleeping thread takes to wake, so the
// waiter first watches for a while; on a slow medium it then sleeps.
std::uint32_t waitPast(const std::atomic<std::uint32_t>& counter, std::uint32_t old)
{
    constexpr auto kWatchFor = std::chrono::microseconds(200);
    std::uint32_t now = counter.load(std::memory_order_acquire);
    if (now != old)
        return now;
    const auto until = std::chrono::steady_clock::now() + kWatchFor;
    for (unsigned spins = 1;; ++spins) {
        watchingPause();
        now = counter.load(std::memory_order_acquire);
        if (now != old)
            return now;
        if (spins % 64 == 0 && std::chrono::steady_clock::now() > until)
            break;
    }
    for (;;) {
        counter.wait(old, std::memory_order_acquire);
        now = counter.load(std::memory_order_acquire);
        if (now != old)
            return now;
    }
}

} // namespace

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
    m_posted.store(kQuit, std::memory_order_release);
    m_posted.notify_one();
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
    m_jobInto = into + half;
    m_jobSize = size - half;
    m_jobOffset = offset + half;
    const std::uint32_t job = m_posted.load(std::memory_order_relaxed) + 1;
    m_posted.store(job, std::memory_order_release);
    m_posted.notify_one();
    const std::size_t first = readFully(m_fd, into, half, offset);
    waitPast(m_finished, job - 1);
    // Bytes after a short first half are not the medium's next ones: they are not counted.
    return first == half ? first + m_jobRead : first;
}

void PairedRead::helperLoop()
{
    std::uint32_t done = 0;
    for (;;) {
        const std::uint32_t job = waitPast(m_posted, done);
        if (job == kQuit)
            return;
        m_jobRead = readFully(m_fd, m_jobInto, m_jobSize, m_jobOffset);
        done = job;
        m_finished.store(job, std::memory_order_release);
        m_finished.notify_one();
    }
}

} // namespace salvyn
