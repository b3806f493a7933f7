#pragma once
// A medium read as numbered 512-byte sectors. One stream belongs to one reader (one thread);
// several streams on the same medium are independent of each other.
#include <cstddef>
#include <cstdint>

namespace salvyn {

inline constexpr std::size_t kSectorSize = 512;

class SectorStream {
public:
    virtual ~SectorStream() = default;

    // Puts the position at the start of the given sector. False when the medium cannot be
    // positioned there (past its end, or the offset does not fit a file offset).
    virtual bool seekToSector(std::uint64_t sector) = 0;

    // Reads the sector at the position into `sector` (kSectorSize bytes) and moves on by one.
    // Answers the number of whole sectors read: 1, or 0 when the sector cannot be read. After
    // a failure the position is unchanged; the caller decides where to go on.
    virtual std::size_t readSector(std::uint8_t* sector) = 0;

    // The same read without a copy where the stream can offer one: answers the sector's
    // bytes, valid until the next call on this stream, or nullptr when it cannot be read.
    // `spare` (kSectorSize bytes) may be used to hold them.
    virtual const std::uint8_t* readSectorInPlace(std::uint8_t* spare)
    {
        return readSector(spare) == 1 ? spare : nullptr;
    }

    // Reads up to `count` following sectors straight into `into` (count * kSectorSize bytes)
    // where the stream can do that cheaply, stopping before the first one it cannot read.
    // Answers how many arrived; 0 means: read them one by one.
    virtual std::size_t readSectorsInto(std::uint8_t* into, std::size_t count)
    {
        (void)into;
        (void)count;
        return 0;
    }

    // The sectors from the position that the stream holds in memory, its next block read when
    // it holds none: up to `most`, their bytes in `sectors`, valid until the next call on this
    // stream. The position stays; skipSectors() moves it over those taken. Answers how many;
    // 0 means: read them one by one.
    virtual std::size_t sectorsAtHand(const std::uint8_t*& sectors, std::size_t most)
    {
        (void)sectors;
        (void)most;
        return 0;
    }

    // How many sectors from the position the stream knows to be blank without reading them
    // (0: none known). They are passed over with skipSectors().
    virtual std::uint64_t blankSectorsAhead() const { return 0; }
    // Moves the position on over sectors at hand or known to be blank.
    virtual void skipSectors(std::uint64_t count) { (void)count; }
    // How many sectors from the position the stream knows to start no file of the list it is
    // read for (a replay of a read that examined them; 0: none known). They are read as usual.
    virtual std::uint64_t unmatchedSectorsAhead() const { return 0; }

    // Number of whole sectors on the medium, as known when it was opened.
    virtual std::uint64_t sectorCount() const = 0;
};

} // namespace salvyn
