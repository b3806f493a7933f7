#include "scan/photobuffer.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <sys/mman.h>

namespace salvyn {

namespace {

constexpr std::size_t kLargePage = 2u << 20;
constexpr std::size_t kFirstCapacity = 1u << 20;

std::size_t roundUp(std::size_t bytes, std::size_t unit)
{
    return (bytes + unit - 1) / unit * unit;
}

// An anonymous mapping of `bytes` (a whole number of large pages) starting on a large-page
// boundary: a larger one is asked for and its ragged ends given back.
std::uint8_t* mapAligned(std::size_t bytes)
{
    const std::size_t asked = bytes + kLargePage;
    void* mapped = ::mmap(nullptr, asked, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        throw std::bad_alloc();
    auto* start = static_cast<std::uint8_t*>(mapped);
    auto* aligned = reinterpret_cast<std::uint8_t*>(
        roundUp(reinterpret_cast<std::uintptr_t>(start), kLargePage));
    if (aligned != start)
        ::munmap(start, static_cast<std::size_t>(aligned - start));
    const std::size_t tail = asked - static_cast<std::size_t>(aligned - start) - bytes;
    if (tail > 0)
        ::munmap(aligned + bytes, tail);
    // Only a request: without large pages the buffer works the same, with more page faults.
    ::madvise(aligned, bytes, MADV_HUGEPAGE);
    return aligned;
}

} // namespace

PhotoBuffer::PhotoBuffer(std::size_t capacity)
{
    reserve(capacity);
}

PhotoBuffer::~PhotoBuffer()
{
    if (m_data != nullptr)
        ::munmap(m_data, m_mappedBytes);
}

void PhotoBuffer::append(const std::uint8_t* bytes, std::size_t count)
{
    if (count > room())
        reserve(std::max({m_capacity * 2, m_size + count, kFirstCapacity}));
    std::memcpy(end(), bytes, count);
    m_size += count;
}

void PhotoBuffer::reserve(std::size_t capacity)
{
    if (capacity <= m_capacity)
        return;
    const std::size_t mappedBytes = roundUp(capacity, kLargePage);
    std::uint8_t* larger = mapAligned(mappedBytes);
    if (m_size > 0)
        std::memcpy(larger, m_data, m_size);
    if (m_data != nullptr)
        ::munmap(m_data, m_mappedBytes);
    m_data = larger;
    m_mappedBytes = mappedBytes;
    m_capacity = mappedBytes;
}

} // namespace salvyn
