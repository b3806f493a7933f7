#include "results/formatendchecksums.h"

#include <array>

namespace salvyn {

namespace {

constexpr std::array<std::uint32_t, 256> reflectedTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> straightTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n << 24;
        for (int k = 0; k < 8; ++k)
            c = (c & 0x80000000u) ? (c << 1) ^ 0x04C11DB7u : c << 1;
        table[n] = c;
    }
    return table;
}

constexpr auto kReflected = reflectedTable();
constexpr auto kStraight = straightTable();

} // namespace

std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t running)
{
    std::uint32_t c = ~running;
    for (std::size_t i = 0; i < size; ++i)
        c = kReflected[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return ~c;
}

std::uint32_t oggCrc32(const std::uint8_t* data, std::size_t size, std::uint32_t running)
{
    std::uint32_t c = running;
    for (std::size_t i = 0; i < size; ++i)
        c = (c << 8) ^ kStraight[((c >> 24) ^ data[i]) & 0xFF];
    return c;
}

} // namespace salvyn
