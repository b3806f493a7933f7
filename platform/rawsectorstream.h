#pragma once
// Sectors of an open read-only descriptor (block device or image file), read a megabyte at
// a time with pread, so a scan costs one system call per 2048 sectors. Where a large read
// comes back short or fails, the sectors of that block are read one by one, so exactly the
// unreadable sectors fail.
#include "platform/sectorstream.h"

#include <memory>
#include <vector>

namespace salvyn {

class PairedRead;

class RawSectorStream : public SectorStream {
public:
    static constexpr std::size_t kBlockSectors = 2048;

    // Takes ownership of fd; `byteSize` is the medium's size in bytes.
    RawSectorStream(int fd, std::uint64_t byteSize);
    ~RawSectorStream() override;
    RawSectorStream(const RawSectorStream&) = delete;
    RawSectorStream& operator=(const RawSectorStream&) = delete;

    bool seekToSector(std::uint64_t sector) override;
    std::size_t readSector(std::uint8_t* sector) override;
    const std::uint8_t* readSectorInPlace(std::uint8_t* spare) override;
    std::size_t readSectorsInto(std::uint8_t* into, std::size_t count) override;
    std::size_t sectorsAtHand(const std::uint8_t*& sectors, std::size_t most) override;
    void skipSectors(std::uint64_t count) override { m_position += count; }
    std::uint64_t sectorCount() const override { return m_byteSize / kSectorSize; }

private:
    bool fillBlock();
    // How many sectors from the position the block holds (0: the position lies outside it).
    std::uint64_t heldInBlock() const
    {
        const std::uint64_t blockEnd = m_blockFirst + m_blockCount;
        return m_position >= m_blockFirst && m_position < blockEnd ? blockEnd - m_position : 0;
    }
    // Within the block whose large read came back short: a seek elsewhere reads in blocks again.
    bool readsOneByOne() const { return m_position >= m_singleReadsFrom && m_position < m_singleReadsUntil; }
    bool readOneSector(std::uint8_t* sector);

    int m_fd;
    std::uint64_t m_byteSize;
    std::uint64_t m_position = 0;       // next sector
    std::vector<std::uint8_t> m_block;  // sectors m_blockFirst .. m_blockFirst + m_blockCount - 1
    std::uint64_t m_blockFirst = 0;
    std::uint64_t m_blockCount = 0;
    std::uint64_t m_singleReadsFrom = 0; // sectors from here up to m_singleReadsUntil are read one by one
    std::uint64_t m_singleReadsUntil = 0;
    std::unique_ptr<PairedRead> m_pairedRead; // large reads, two halves at once
};

} // namespace salvyn
