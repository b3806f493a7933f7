// Format ends on real files made by Debian's encoders, laid into a medium between junk,
// free space and another file.
#include "formatendsamples.h"
#include "results/formatendtable.h"

#include <gtest/gtest.h>

namespace salvyn {
namespace {

using test::layOut;
using test::MemoryMedium;
using test::SampleRecipe;

class RealSample : public ::testing::TestWithParam<SampleRecipe> {};

TEST_P(RealSample, EndsExactlyWhereTheEncoderStopped)
{
    const SampleRecipe& recipe = GetParam();
    const test::Sample& sample = test::sampleFor(recipe);
    if (!sample.skipReason.empty())
        GTEST_SKIP() << sample.skipReason;
    const std::uint64_t size = sample.bytes.size();

    // Followed by free space and by another file of the same type, the strongest
    // neighbour: its structure looks like a continuation.
    MemoryMedium spaced(layOut(3, sample.bytes, 8, sample.bytes));
    EXPECT_EQ(formatEndLength(spaced, recipe.type, 3 * 512), size);
    const std::uint64_t secondAt = 3 * 512 + (size + 511) / 512 * 512 + 8 * 512;
    EXPECT_EQ(formatEndLength(spaced, recipe.type, secondAt), size) << "the copy followed by free space only";

    MemoryMedium packed(layOut(1, sample.bytes, 0, sample.bytes));
    EXPECT_EQ(formatEndLength(packed, recipe.type, 512), size) << "the next file at the next sector";
}

// Streams that carry no end of their own: cut short, they end at their last whole packet.
bool isOpenEnded(const std::string& type)
{
    return type == "FLV" || type == "MPG" || type == "VOB" || type == "TS" || type == "M2TS";
}

TEST_P(RealSample, NeverReadsPastTheLimitAndIsUnknownWhenCutShort)
{
    const SampleRecipe& recipe = GetParam();
    const test::Sample& sample = test::sampleFor(recipe);
    if (!sample.skipReason.empty())
        GTEST_SKIP() << sample.skipReason;
    const FormatEndRule* rule = formatEndRuleFor(recipe.type);
    ASSERT_NE(rule, nullptr);
    const std::uint64_t size = sample.bytes.size();
    // Two bytes, so that an optional line end after the last mark is not all that goes.
    const std::uint64_t cutSize = size - 2;

    MemoryMedium medium(layOut(2, sample.bytes, 4, sample.bytes));
    FormatEndReader tooShort(medium, 1024, cutSize);
    const auto limited = rule->end(tooShort);
    EXPECT_LE(medium.furthestAsked(), 1024 + cutSize);
    FormatEndReader exact(medium, 1024, size);
    EXPECT_EQ(rule->end(exact), size);

    // The file cut by the medium's end.
    std::vector<std::uint8_t> bytes(512 + cutSize, 0xA5);
    std::copy_n(sample.bytes.begin(), cutSize, bytes.begin() + 512);
    MemoryMedium endsEarly(std::move(bytes));
    const auto truncated = formatEndLength(endsEarly, recipe.type, 512);
    if (isOpenEnded(recipe.type)) {
        EXPECT_LT(limited.value_or(0), cutSize);
        ASSERT_TRUE(truncated.has_value());
        EXPECT_LT(*truncated, cutSize);
        EXPECT_GT(*truncated, size / 2);
    } else {
        EXPECT_EQ(limited, std::nullopt);
        EXPECT_EQ(truncated, std::nullopt);
    }
}

std::string recipeName(const ::testing::TestParamInfo<SampleRecipe>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(FormatEnd, RealSample, ::testing::ValuesIn(test::sampleRecipes()), recipeName);

TEST(FormatEndTable, KnowsEveryTypeTheListsSaveByStructureEachOnce)
{
    for (const char* type : {"JPG", "PNG", "GIF", "BMP", "WEBP", "AVI", "WAV", "AIF", "AIFF", "MP4", "MOV", "M4V",
                             "M4A", "M4B", "3GP", "3G2", "HEIC", "CR3", "MKV", "WEBM", "FLV", "OGG", "OPUS", "MPG",
                             "VOB", "PDF", "ZIP", "DOCX", "XLSX", "PPTX", "ODT", "ODS", "ODP", "EPUB", "SQLITE",
                             "RAR", "7Z"})
        EXPECT_NE(formatEndRuleFor(type), nullptr) << type;
    EXPECT_EQ(formatEndRuleFor("mov"), formatEndRuleFor("MOV"));
    EXPECT_EQ(formatEndRuleFor("MP3"), nullptr);
    EXPECT_EQ(formatEndRuleFor(""), nullptr);
    EXPECT_EQ(formatEndRuleFor("MP4")->saveLimitBytes, 64ull << 30);
    MemoryMedium medium(std::vector<std::uint8_t>(4096, 0));
    EXPECT_EQ(formatEndLength(medium, "MP3", 0), std::nullopt);
    const auto rules = formatEndRules();
    for (std::size_t i = 0; i < rules.size(); ++i)
        for (std::size_t j = i + 1; j < rules.size(); ++j)
            EXPECT_NE(rules[i].type, rules[j].type) << "listed twice";
}

} // namespace
} // namespace salvyn
