#include "scan/photobuffer.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace salvyn {
namespace {

std::vector<std::uint8_t> counting(std::size_t count, std::uint8_t first)
{
    std::vector<std::uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

std::vector<std::uint8_t> contents(const PhotoBuffer& buffer)
{
    return {buffer.data(), buffer.data() + buffer.size()};
}

TEST(PhotoBuffer, BytesReadInPlaceAndCopiedInStayInOrderAcrossGrowth)
{
    PhotoBuffer buffer(0);
    EXPECT_EQ(buffer.room(), 0u);
    const std::vector<std::uint8_t> first = counting(512, 1);
    buffer.append(first.data(), first.size());
    ASSERT_GE(buffer.room(), 512u);

    // Filled to the last byte through end(), then one more sector makes it grow.
    const std::vector<std::uint8_t> inPlace = counting(buffer.room(), 7);
    std::copy(inPlace.begin(), inPlace.end(), buffer.end());
    buffer.grown(inPlace.size());
    EXPECT_EQ(buffer.room(), 0u);
    const std::vector<std::uint8_t> last = counting(512, 99);
    buffer.append(last.data(), last.size());

    std::vector<std::uint8_t> expected = first;
    expected.insert(expected.end(), inPlace.begin(), inPlace.end());
    expected.insert(expected.end(), last.begin(), last.end());
    EXPECT_EQ(contents(buffer), expected);
}

TEST(PhotoBuffer, ClearedBufferKeepsItsRoomForTheNextPhoto)
{
    PhotoBuffer buffer(3 << 20);
    const std::size_t room = buffer.room();
    EXPECT_GE(room, std::size_t{3} << 20);
    const std::vector<std::uint8_t> photo = counting(4096, 3);
    buffer.append(photo.data(), photo.size());
    EXPECT_EQ(buffer.room(), room - photo.size());
    buffer.clear();
    EXPECT_EQ(buffer.size(), 0u);
    EXPECT_EQ(buffer.room(), room);
    buffer.append(photo.data() + 512, 512);
    EXPECT_EQ(contents(buffer), std::vector<std::uint8_t>(photo.begin() + 512, photo.begin() + 1024));
}

} // namespace
} // namespace salvyn
