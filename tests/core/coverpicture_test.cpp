// The cover picture of a sound, from the tags of each format that carries one.
#include "doubles/memorymedium.h"
#include "doubles/samplefiles.h"
#include "results/coverpicture.h"

#include <gtest/gtest.h>

#include <string>

namespace salvyn {
namespace {

TEST(CoverPicture, IsFoundInId3FlacAndMp4TagsAndNotInTagsCutShort)
{
    const std::string withCover = "ffmpeg -v error -f lavfi -i testsrc=size=96x96 -frames:v 1 c.png && ffmpeg -v error "
                                  "-f lavfi -i sine=duration=1 -i c.png -map 0 -map 1 -c:v png "
                                  "-disposition:v attached_pic ";
    const struct {
        std::string command;
        bool hasCover;
    } cases[] = {
        {withCover + "-id3v2_version 3 -f mp3 out", true},
        {withCover + "-id3v2_version 4 -f mp3 out", true},
        {withCover + "-f flac out", true},
        {withCover + "-f ipod out", true},
        {"ffmpeg -v error -f lavfi -i sine=duration=1 -f mp3 out", false},
        {"ffmpeg -v error -f lavfi -i sine=duration=1 -f ipod out", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        const test::Sample sound = test::runEncoder("ffmpeg", c.command);
        if (!sound.skipReason.empty())
            GTEST_SKIP() << sound.skipReason;
        test::MemoryMedium medium(sound.bytes);
        FormatEndReader whole(medium, 0, sound.bytes.size());
        const std::vector<std::uint8_t> cover = coverPicture(whole);
        ASSERT_EQ(cover.size() > 16, c.hasCover);
        if (c.hasCover) {
            // The whole PNG: its signature and its closing chunk.
            EXPECT_EQ(std::string(cover.begin() + 1, cover.begin() + 4), "PNG");
            EXPECT_EQ(std::string(cover.end() - 8, cover.end() - 4), "IEND");
        }
        FormatEndReader cut(medium, 0, 600); // inside the picture, or before an MP4's tags
        EXPECT_TRUE(coverPicture(cut).empty());
    }
}

} // namespace
} // namespace salvyn
