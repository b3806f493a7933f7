#pragma once
// SHA-256 (FIPS 180-4) of found files, for the recovery report. Any thread, one object per
// digest.
#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace salvyn {

class Sha256 {
public:
    Sha256();
    void update(std::span<const std::uint8_t> bytes);
    // The digest as 64 lower-case hexadecimal digits; the object is spent afterwards.
    std::string finishHex();

private:
    void compress(const std::uint8_t* block);

    std::array<std::uint32_t, 8> m_state;
    std::array<std::uint8_t, 64> m_block{};
    std::size_t m_blockUsed = 0;
    std::uint64_t m_totalBytes = 0;
};

} // namespace salvyn
