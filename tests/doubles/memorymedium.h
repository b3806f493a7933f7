#pragma once
// Bytes held in memory, read the way format ends read a medium, remembering how far and how
// much they were asked to read.
#include "results/bytereader.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace salvyn::test {

class MemoryMedium : public ByteReader {
public:
    explicit MemoryMedium(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {}
    std::size_t readAt(std::uint64_t byteOffset, std::uint8_t* out, std::size_t size) override
    {
        m_furthestAsked = std::max(m_furthestAsked, byteOffset + size);
        m_bytesAsked += size;
        if (byteOffset >= m_bytes.size())
            return 0;
        const std::size_t n = std::min<std::uint64_t>(size, m_bytes.size() - byteOffset);
        std::copy_n(m_bytes.begin() + static_cast<std::ptrdiff_t>(byteOffset), n, out);
        return n;
    }
    // One past the furthest byte any read asked for (served or not).
    std::uint64_t furthestAsked() const { return m_furthestAsked; }
    // Every byte asked for, counted once per read: a walk must not reread without bound.
    std::uint64_t bytesAsked() const { return m_bytesAsked; }
    const std::vector<std::uint8_t>& bytes() const { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
    std::uint64_t m_furthestAsked = 0;
    std::uint64_t m_bytesAsked = 0;
};

} // namespace salvyn::test
