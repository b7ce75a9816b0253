#include "platform/StartFailure.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

// What a failed start says, and where, decided without the platform: the
// same choice the Windows and macOS builds make, checked here.

TEST(StartFailure, OneLineOnStderrEvenFromAMultiLineReason)
{
    const auto notice = PlanStartFailure(
        "could not connect to display :1\nThis application failed to start because no Qt platform plugin could be "
        "initialized.",
        false, nullptr);
    EXPECT_EQ(notice.line, "vantrel: cannot start: could not connect to display :1\n");
    // Windows ends its own messages in CR LF.
    EXPECT_EQ(PlanStartFailure("The specified module could not be found. \r\n", true, nullptr).line,
              "vantrel: cannot start: The specified module could not be found.\n");
    EXPECT_EQ(PlanStartFailure("\nsecond line only", false, nullptr).line, "vantrel: cannot start: no reason given\n");
}

TEST(StartFailure, BoxWhereThePlatformHasOneWithTheSameReason)
{
    const auto windows = PlanStartFailure("no platform plugin \"windows\"", true, nullptr);
    EXPECT_TRUE(windows.box);
    EXPECT_EQ(windows.boxText, "Vantrel cannot start: no platform plugin \"windows\"");
    EXPECT_FALSE(PlanStartFailure("no display", false, nullptr).box) << "no native box on this platform";
}

TEST(StartFailure, UnattendedRunsTurnTheBoxOff)
{
    EXPECT_FALSE(PlanStartFailure("x", true, "1").box);
    EXPECT_FALSE(PlanStartFailure("x", true, "yes").box);
    // Set but empty or "0" means the box stays.
    EXPECT_TRUE(PlanStartFailure("x", true, "").box);
    EXPECT_TRUE(PlanStartFailure("x", true, "0").box);
    // The line goes to stderr either way.
    EXPECT_EQ(PlanStartFailure("x", true, "1").line, "vantrel: cannot start: x\n");
}

}  // namespace
}  // namespace vantrel
