// Format ends on real files made by Debian's encoders, laid into a medium between junk,
// free space and another file.
#include "doubles/memorymedium.h"
#include "doubles/samplefiles.h"
#include "platform/resourcefolder.h"
#include "results/formatendtable.h"
#include "signatures/signaturelist.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace salvyn {
namespace {

using test::layOut;
using test::MemoryMedium;
using test::SampleRecipe;

class RealSample : public ::testing::TestWithParam<SampleRecipe> {};

// Video streams without an end code: their last picture is known whole only when something
// follows it, so a limit right after it ends them a picture earlier.
const std::set<std::string> kLastPictureOpen = {"Mpeg2Video"};

TEST_P(RealSample, EndsExactlyWhereTheEncoderStopped)
{
    const SampleRecipe& recipe = GetParam();
    const test::Sample& sample = test::sampleFor(recipe);
    if (!sample.skipReason.empty())
        GTEST_SKIP() << sample.skipReason;
    const std::uint64_t size = sample.bytes.size();
    const std::optional<std::uint64_t> expected = size;

    // Followed by free space and by another file of the same type, the strongest
    // neighbour: its structure looks like a continuation.
    MemoryMedium spaced(layOut(3, sample.bytes, 8, sample.bytes));
    EXPECT_EQ(formatEndLength(spaced, recipe.type, 3 * 512), expected);
    const std::uint64_t secondAt = 3 * 512 + (size + 511) / 512 * 512 + 8 * 512;
    EXPECT_EQ(formatEndLength(spaced, recipe.type, secondAt), expected) << "the copy followed by free space only";

    MemoryMedium packed(layOut(1, sample.bytes, 0, sample.bytes));
    EXPECT_EQ(formatEndLength(packed, recipe.type, 512), expected) << "the next file at the next sector";
}

// Streams that carry no end of their own: cut short, they end at their last whole packet.
const std::set<std::string> kOpenEnded = {"FLV", "MPG", "VOB", "TS", "M2TS", "MP3", "AAC", "AMR", "M2V"};

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
    if (kLastPictureOpen.contains(recipe.name))
        EXPECT_LT(rule->end(exact).value_or(size), size);
    else
        EXPECT_EQ(rule->end(exact), size);

    // The file cut by the medium's end.
    std::vector<std::uint8_t> bytes(512 + cutSize, 0xA5);
    std::copy_n(sample.bytes.begin(), cutSize, bytes.begin() + 512);
    MemoryMedium endsEarly(std::move(bytes));
    const auto truncated = formatEndLength(endsEarly, recipe.type, 512);
    if (kOpenEnded.contains(recipe.type)) {
        EXPECT_LT(limited.value_or(0), cutSize);
        ASSERT_TRUE(truncated.has_value());
        EXPECT_LT(*truncated, cutSize);
        EXPECT_GT(*truncated, size / 2);
    } else if (recipe.type == "TAR") {
        // A tar archive ends at its two zero blocks, before the padding of its last record.
        EXPECT_EQ(limited, truncated);
        EXPECT_LT(truncated.value_or(0), cutSize);
    } else {
        EXPECT_EQ(limited, std::nullopt);
        EXPECT_EQ(truncated, std::nullopt);
    }
}

std::string recipeName(const ::testing::TestParamInfo<SampleRecipe>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(FormatEnd, RealSample, ::testing::ValuesIn(test::sampleRecipes()), recipeName);

TEST(FormatEndTable, EveryTypeOfTheShippedListsEndsByStructureOrSaysWhyNot)
{
    std::ostringstream ignored;
    const SignatureLists lists = loadSignatureLists(findResourceFolder(), ignored);
    std::set<std::string> types;
    for (const SignatureList* list : {&lists.Ext_Array, &lists.Adv_Ext_Array, &lists.Video_Array,
                                      &lists.Adv_Video_Array, &lists.RawFile_Array, &lists.Adv_RawFile_Array,
                                      &lists.Audio_Array, &lists.Adv_Audio_Array})
        for (std::size_t r = 0; r < recordCount(*list); ++r)
            types.insert(recordEntry(*list, r, 0));
    for (const std::string& type : types)
        EXPECT_NE(formatEndRuleFor(type) != nullptr, !whyNoFormatEnd(type).empty()) << type;
    EXPECT_EQ(formatEndRuleFor("mov"), formatEndRuleFor("MOV"));
    const auto rules = formatEndRules();
    for (std::size_t i = 0; i < rules.size(); ++i)
        for (std::size_t j = i + 1; j < rules.size(); ++j)
            EXPECT_NE(rules[i].type, rules[j].type) << "listed twice";
}

} // namespace
} // namespace salvyn
