// The format ends' checksums over arbitrary bytes: the reflected CRC-32 agrees with
// zlib's, the Ogg one with its bit-by-bit definition, and both go on across a split.
#include "fuzzcheck.h"
#include "results/formatendchecksums.h"

#include <zlib.h>

using salvyn::fuzz::require;

namespace {

std::uint32_t oggCrcBitByBit(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t crc = 0;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= std::uint32_t{data[i]} << 24;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    return crc;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::size_t split = size == 0 ? 0 : data[0] % size;
    const std::uint32_t whole = salvyn::crc32(data, size);
    require(whole == ::crc32(0, data, static_cast<uInt>(size)), "CRC-32 agrees with zlib");
    require(whole == salvyn::crc32(data + split, size - split, salvyn::crc32(data, split)), "CRC-32 goes on across a split");
    const std::uint32_t ogg = salvyn::oggCrc32(data, size);
    require(ogg == oggCrcBitByBit(data, size), "the Ogg CRC agrees with its definition");
    require(ogg == salvyn::oggCrc32(data + split, size - split, salvyn::oggCrc32(data, split)), "the Ogg CRC goes on across a split");
    return 0;
}
