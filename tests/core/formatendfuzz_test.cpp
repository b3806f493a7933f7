// Seeded random mutations of every real sample through every format end: whatever the
// bytes, an answer stays inside the limit and the medium, and nothing past the limit is
// read. Deterministic: the same seeds give the same inputs on every run. Meant to be
// run under AddressSanitizer and UndefinedBehaviorSanitizer too.
#include "formatendsamples.h"
#include "results/formatendtable.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace salvyn {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kMutationsPerSample = 1000;

// Numbers that size fields are most often broken into.
constexpr std::uint32_t kHostileWords[] = {0, 1, 7, 8, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFE, 0xFFFFFFFF};

void mutate(Bytes& bytes, std::mt19937_64& random)
{
    auto offset = [&](std::size_t span) {
        // Headers sit at the front; half the changes go to the first 64 bytes.
        const std::size_t range = (random() & 1) ? std::min<std::size_t>(span, 64) : span;
        return static_cast<std::size_t>(random() % range);
    };
    switch (random() % 5) {
    case 0:
        for (int n = 1 + random() % 4; n > 0; --n)
            bytes[offset(bytes.size())] ^= static_cast<std::uint8_t>(1u << (random() % 8));
        break;
    case 1:
        bytes[offset(bytes.size())] = static_cast<std::uint8_t>(random());
        break;
    case 2: {
        const std::size_t at = offset(bytes.size() - 4);
        const std::uint32_t word = kHostileWords[random() % std::size(kHostileWords)];
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<std::uint8_t>(word >> (8 * (random() & 1 ? i : 3 - i)));
        break;
    }
    case 3:
        bytes.resize(1 + random() % bytes.size());
        break;
    default: {
        // A stretch copied over another: repeated boxes, pages and chunks.
        const std::size_t from = random() % bytes.size(), to = random() % bytes.size();
        const std::size_t length = std::min<std::size_t>(random() % 256, bytes.size() - std::max(from, to));
        std::copy_n(bytes.begin() + from, length, bytes.begin() + to);
    }
    }
}

class MutatedSample : public ::testing::TestWithParam<test::SampleRecipe> {};

TEST_P(MutatedSample, EveryFormatEndStaysInsideItsLimitAndTheMedium)
{
    const test::Sample& sample = test::sampleFor(GetParam());
    if (!sample.skipReason.empty())
        GTEST_SKIP() << sample.skipReason;
    std::set<FormatEndFunction> functions;
    for (const FormatEndRule& rule : formatEndRules())
        functions.insert(rule.end);

    std::mt19937_64 random(std::hash<std::string>{}(GetParam().name));
    int answered = 0;
    for (int round = 0; round < kMutationsPerSample; ++round) {
        Bytes bytes = sample.bytes;
        for (int n = 1 + random() % 3; n > 0 && bytes.size() > 8; --n)
            mutate(bytes, random);
        const std::uint64_t first = 512 * (random() % 3);
        Bytes medium(first, 0xA5);
        medium.insert(medium.end(), bytes.begin(), bytes.end());
        medium.resize(medium.size() + random() % 2048, 0);
        const std::uint64_t limit = random() % (2 * sample.bytes.size() + 1);
        test::MemoryMedium reader(std::move(medium));
        for (FormatEndFunction end : functions) {
            reader.forgetReads();
            FormatEndReader file(reader, first, limit);
            const auto length = end(file);
            ASSERT_LE(reader.furthestAsked(), first + limit) << "round " << round;
            if (length) {
                ++answered;
                ASSERT_GT(*length, 0u);
                ASSERT_LE(*length, limit);
                ASSERT_LE(first + *length, reader.bytes().size());
            }
        }
    }
    RecordProperty("answered", answered);
}

std::string recipeName(const ::testing::TestParamInfo<test::SampleRecipe>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(FormatEndFuzz, MutatedSample, ::testing::ValuesIn(test::sampleRecipes()), recipeName);

} // namespace
} // namespace salvyn
