#include "media/qt/systemcommand.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace salvyn {
namespace {

TEST(SystemCommand, AnswersTheOutputWithArgumentsPassedAsTheyAre)
{
    // No shell: the quote, the semicolon and the dollar reach the utility unchanged.
    const auto output = runSystemCommand(QStringLiteral("echo"), {QStringLiteral("a'b; $HOME")});
    ASSERT_TRUE(output);
    EXPECT_EQ(*output, QByteArray("a'b; $HOME\n"));
}

TEST(SystemCommand, FailingUtilityStillAnswersWhatItWrote)
{
    const auto output = runSystemCommand(QStringLiteral("false"), {});
    ASSERT_TRUE(output);
    EXPECT_TRUE(output->isEmpty());
}

TEST(SystemCommand, MissingOrHangingUtilityAnswersNothing)
{
    EXPECT_FALSE(runSystemCommand(QStringLiteral("salvyn-no-such-utility"), {}));
    EXPECT_FALSE(runSystemCommand(QStringLiteral("sleep"), {QStringLiteral("30")}, 50ms));
}

} // namespace
} // namespace salvyn
