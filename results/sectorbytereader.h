#pragma once
// Byte access over a sector stream, for format ends: reads the sectors that hold the asked
// bytes and stops at the first that cannot be read. Uses the stream's position, so it
// belongs to the stream's one thread.
#include "platform/sectorstream.h"
#include "results/bytereader.h"

namespace salvyn {

class SectorByteReader : public ByteReader {
public:
    explicit SectorByteReader(SectorStream& medium) : m_medium(medium) {}
    std::size_t readAt(std::uint64_t byteOffset, std::uint8_t* out, std::size_t size) override;

private:
    SectorStream& m_medium;
};

} // namespace salvyn
