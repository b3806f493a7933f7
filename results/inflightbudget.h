#pragma once
// Bounds the photo bytes handed over for thumbnails and not done yet. A card full of large
// photos (a raw can be 256 MiB) must not tie up gigabytes while thumbnails are made, so an
// add waits until the bytes already in flight leave room, and until fewer than `mostItems`
// are in flight. One item is always let through, however large, or it could never pass.
// Any thread.
#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace salvyn {

class InFlightBudget {
public:
    InFlightBudget(std::uint64_t mostBytes, int mostItems) : m_mostBytes(mostBytes), m_mostItems(mostItems) {}

    // Waits until an item of `bytes` fits, then counts it in flight.
    void acquire(std::uint64_t bytes);
    // Counts the item in flight when it fits now; false, and nothing counted, when not.
    bool tryAcquire(std::uint64_t bytes);
    // The item of `bytes` is done.
    void release(std::uint64_t bytes);
    // Waits until nothing is in flight.
    void waitUntilIdle();

private:
    bool fits(std::uint64_t bytes) const;
    void take(std::uint64_t bytes);

    const std::uint64_t m_mostBytes;
    const int m_mostItems;
    std::mutex m_mutex;
    std::condition_variable m_released;
    std::uint64_t m_bytes = 0;
    int m_items = 0;
};

} // namespace salvyn
