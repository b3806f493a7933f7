#pragma once
// Random access to the bytes of a medium, as format ends need it: a found file's
// structure is followed forward from its first byte. Implementations may be called
// from any one thread at a time; they never write to the medium.
#include <cstddef>
#include <cstdint>

namespace salvyn {

class ByteReader {
public:
    virtual ~ByteReader() = default;
    // Copies up to `size` bytes found at the absolute `byteOffset` of the medium into `out`
    // and answers how many it copied: fewer at the medium's end or where it cannot be read.
    virtual std::size_t readAt(std::uint64_t byteOffset, std::uint8_t* out, std::size_t size) = 0;
};

} // namespace salvyn
