// Every run-time error of the show, planted through the recording fake: the
// press ends in exactly that error, and nothing is drawn after it.
#include "ShowTrace.h"
#include "core/frmLines.h"
#include "frontends/recording/RecordingRuntime.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace vantrel {
namespace {

using testing::CountOf;

struct Outcome {
    ErrorKind kind{};
    std::size_t lines = 0;
    std::size_t boxes = 0;
};

// Loads the window, lets `plant` alter it, presses the button once.
Outcome Press(const std::function<void(frmLines&, RecordingRuntime&)>& plant)
{
    RecordingRuntime runtime(99U);
    frmLines form(runtime);
    form.Form_Load();
    plant(form, runtime);
    EXPECT_FALSE(runtime.Dispatch([&] { form.cmdStart_Click(); })) << "the press must end in an error";
    const auto& events = runtime.Events();
    EXPECT_FALSE(events.empty());
    if (events.empty()) {
        return {};
    }
    EXPECT_EQ(events.back().type, Event::Type::Error) << "nothing happens after the error";
    EXPECT_EQ(CountOf(events, Event::Type::Error), 1U);
    return {events.back().error, CountOf(events, Event::Type::Line), CountOf(events, Event::Type::MsgBox)};
}

TEST(FaultInjection, OverflowFromTheCheckedAdditionOfASpokeTip)
{
    // The first star flies on towards x = 32767 until a tip passes the range.
    const Outcome o = Press([](frmLines& f, RecordingRuntime&) { f.RightPoints(12, 0) = 32767; });
    EXPECT_EQ(o.kind, ErrorKind::Overflow);
    // 646 moves reach X1 = 32300; the next erases, moves to 32350 and draws
    // nine spokes: the tenth would end at 32350 + 450.
    EXPECT_EQ(o.lines, 646U * 24U + 12U + 9U);
}

TEST(FaultInjection, OverflowFromTheSpokeSubtraction)
{
    // A point so high that Y1 - 450 leaves the range on the first move.
    const Outcome o = Press([](frmLines& f, RecordingRuntime&) {
        f.RightPoints(12, 0) = 100;
        f.RightPoints(12, 1) = -32700;
    });
    EXPECT_EQ(o.kind, ErrorKind::Overflow);
    // Y1 = -16350 after the first move; the second reaches Y1 = -32700.
    EXPECT_EQ(o.lines, 24U + 12U) << "the first move and the second's erase";
}

TEST(FaultInjection, OverflowFromRoundingTheRayHeight)
{
    const Outcome o = Press([](frmLines& f, RecordingRuntime&) {
        f.RightPoints(12, 0) = 1;
        f.RightPoints(12, 1) = 32767;
    });
    EXPECT_EQ(o.kind, ErrorKind::Overflow);
    EXPECT_EQ(o.lines, 12U);
}

TEST(FaultInjection, FloatErrorFromTheSlopeOfAPointOnTheLeftEdge)
{
    const Outcome divByZero = Press([](frmLines& f, RecordingRuntime&) { f.RightPoints(12, 0) = 0; });
    EXPECT_EQ(divByZero.kind, ErrorKind::Float);
    EXPECT_EQ(divByZero.lines, 0U) << "the slope comes before the first erase";

    const Outcome zeroByZero = Press([](frmLines& f, RecordingRuntime&) {
        f.LeftPoints(10, 0) = 0;
        f.LeftPoints(10, 1) = 0;
    });
    EXPECT_EQ(zeroByZero.kind, ErrorKind::Float);
    // The whole right figure (2105 moves), then the left figure's first point.
    EXPECT_EQ(zeroByZero.lines, 2105U * 24U);
}

TEST(FaultInjection, FloatErrorFromTheRotation)
{
    for (const double angle : {std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()}) {
        RecordingRuntime runtime;
        frmLines form(runtime);
        form.X1 = 1000;
        form.Y1 = 1000;
        form.X2 = 1000;
        form.Y2 = 550;
        form.Angle = angle;
        EXPECT_FALSE(runtime.Dispatch([&] { form.DrawSpoke(1U); }));
        ASSERT_EQ(runtime.Events().size(), 1U) << "no line before the error";
        EXPECT_EQ(runtime.Events().back().error, ErrorKind::Float);
    }
}

TEST(FaultInjection, BoundsErrorFromATableIndex)
{
    RecordingRuntime runtime;
    frmLines form(runtime);
    form.Form_Load();
    EXPECT_FALSE(runtime.Dispatch([&] {
        (void)form.RightPoints(13, 0);
        form.cmdStart_Click();
    }));
    ASSERT_EQ(runtime.Events().size(), 1U);
    EXPECT_EQ(runtime.Events().back().error, ErrorKind::Bounds);
}

// A failure reported by each window operation the show uses, at a call deep
// into the show: the press stops right there.
struct FailureCase {
    Event::Type op;
    int nth;
    std::size_t linesBefore;
};

class FailingWindow : public ::testing::TestWithParam<FailureCase> {};

TEST_P(FailingWindow, StopsThePressAtTheFailingCall)
{
    const FailureCase c = GetParam();
    const Outcome o = Press([&](frmLines&, RecordingRuntime& r) { r.FailOn(c.op, c.nth); });
    EXPECT_EQ(o.kind, ErrorKind::Other);
    EXPECT_EQ(o.lines, c.linesBefore);
    EXPECT_EQ(o.boxes, 0U);
}

INSTANTIATE_TEST_SUITE_P(Operations, FailingWindow,
                         ::testing::Values(FailureCase{Event::Type::Line, 1, 0},
                                           FailureCase{Event::Type::Line, 50000, 49999},
                                           FailureCase{Event::Type::Line, 94008, 94007},
                                           // The 10th read is the erase of the 10th move.
                                           FailureCase{Event::Type::BackColor, 10, 9U * 24U},
                                           // The 3rd caption write belongs to the pause after the 1st move.
                                           FailureCase{Event::Type::Caption, 3, 24},
                                           FailureCase{Event::Type::Cls, 1, 65208}));

}  // namespace
}  // namespace vantrel
