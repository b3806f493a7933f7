#pragma once
// Reading a stretch of an open descriptor whole, and reading large stretches as two halves
// at once: the second half on a helper thread, the first on the caller's. On page-cached or
// fast media the copy into memory is what takes the time, and two cores do it in about half;
// a slow medium answers the two reads one after the other, as it would one.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <thread>

namespace salvyn {

// Reads up to `size` bytes at `offset`, going on after interruptions and partial answers.
// Answers the bytes read before an error or the end of the medium.
std::size_t readFully(int fd, std::uint8_t* into, std::size_t size, std::uint64_t offset);

// One reader thread at a time; the descriptor stays open while it reads.
class PairedRead {
public:
    explicit PairedRead(int fd) : m_fd(fd) {}
    ~PairedRead(); // ends the helper
    PairedRead(const PairedRead&) = delete;
    PairedRead& operator=(const PairedRead&) = delete;

    // As readFully; from kSplitBytes on, in two halves at once.
    std::size_t read(std::uint8_t* into, std::size_t size, std::uint64_t offset);

    static constexpr std::size_t kSplitBytes = 256 * 1024;

private:
    void helperLoop();

    const int m_fd;
    // The half the helper reads, set before m_posted moves on.
    std::uint8_t* m_jobInto = nullptr;
    std::size_t m_jobSize = 0;
    std::uint64_t m_jobOffset = 0;
    std::size_t m_jobRead = 0; // set before m_finished moves on
    // Jobs posted and finished, counted; kQuit posted ends the helper.
    std::atomic<std::uint32_t> m_posted = 0;
    std::atomic<std::uint32_t> m_finished = 0;
    std::thread m_helper; // started at the first large read
};

} // namespace salvyn
