#include "results/previewlength.h"

#include "doubles/memorysectorsource.h"

#include <gtest/gtest.h>

namespace salvyn {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes isoBox(const char* type, std::uint32_t size)
{
    Bytes box(size);
    for (int k = 0; k < 4; ++k) {
        box[k] = std::uint8_t(size >> (24 - 8 * k));
        box[4 + k] = std::uint8_t(type[k]);
    }
    return box;
}

// A movie of 24 sectors and a bit, its index last, from sector 2 of a medium of 64 sectors.
TEST(WholeFileBeyondRange, IsTheFormatEndOnlyWhereThatLiesBeyondTheFoundRange)
{
    Bytes movie = isoBox("ftyp", 20);
    for (const Bytes& box : {isoBox("mdat", 12000), isoBox("moov", 400)})
        movie.insert(movie.end(), box.begin(), box.end());
    Bytes disk(2 * kSectorSize);
    disk.insert(disk.end(), movie.begin(), movie.end());
    disk.resize(64 * kSectorSize);
    const struct {
        const char* name;
        std::uint64_t endSector;
        std::optional<std::uint64_t> bytes;
    } cases[] = {
        {"MP400001.MP4", 10, 25 * kSectorSize}, // the format end, in whole sectors
        {"MP400001.MP4", 40, std::nullopt},     // the range is longer already
        {"CAB00001.XYZ", 10, std::nullopt},     // no format end for the type
    };
    for (const auto& c : cases) {
        MemorySectorStream medium(std::make_shared<const Bytes>(disk));
        EXPECT_EQ(wholeFileBeyondRange(c.name, 2, c.endSector, medium), c.bytes) << c.name << " " << c.endSector;
    }
    MemorySectorStream medium(std::make_shared<const Bytes>(disk));
    EXPECT_EQ(wholeFileBeyondRange("MP400001.MP4", 2, 10, medium, [] { return false; }), std::nullopt) << "called off";
}

} // namespace
} // namespace salvyn
