#include "ShowTrace.h"
#include "StarTips.h"
#include "core/frmLines.h"
#include "frontends/recording/RecordingRuntime.h"

#include <gtest/gtest.h>

#include <array>

namespace vantrel {
namespace {

using testing::LinesOf;
using testing::Seg;

struct StarFixture : ::testing::Test {
    RecordingRuntime runtime{1U};
    frmLines form{runtime};

    std::vector<Seg> Star(Int16 x, Int16 y, Int16 spoke, Colour colour)
    {
        form.X1 = x;
        form.Y1 = y;
        form.X2 = x;
        form.Y2 = static_cast<Int16>(y - spoke);
        runtime.Clear();
        form.DrawStar(colour);
        return LinesOf(runtime.Events());
    }
};

TEST_F(StarFixture, StarAtThousandDrawsTheTwelveLinesInOrder)
{
    const std::array<std::array<int, 2>, 12> tips{{{1000, 550},
                                                   {775, 610},
                                                   {610, 775},
                                                   {550, 1000},
                                                   {610, 1225},
                                                   {775, 1390},
                                                   {1000, 1450},
                                                   {1225, 1390},
                                                   {1390, 1225},
                                                   {1450, 1000},
                                                   {1390, 775},
                                                   {1225, 610}}};
    const auto lines = Star(1000, 1000, 450, 0x123456U);
    ASSERT_EQ(lines.size(), 12U);
    for (std::size_t i = 0; i < 12; ++i) {
        EXPECT_EQ(lines[i], (Seg{1000, 1000, tips[i][0], tips[i][1], 0x123456U})) << "spoke " << i;
    }
}

TEST_F(StarFixture, TipOffsetsForBothSpokeLengths)
{
    // Centres where the show really draws, so the offsets hold wherever the star stands.
    for (const auto& [cx, cy] : std::array<std::array<Int16, 2>, 3>{{{9620, 720}, {1000, 5000}, {50, 38}}}) {
        const auto long450 = Star(cx, cy, 450, 1U);
        const auto short400 = Star(cx, cy, 400, 1U);
        ASSERT_EQ(long450.size(), 12U);
        ASSERT_EQ(short400.size(), 12U);
        for (std::size_t i = 0; i < 12; ++i) {
            EXPECT_EQ(long450[i].x2 - cx, testing::kTips450[i][0]) << i;
            EXPECT_EQ(long450[i].y2 - cy, testing::kTips450[i][1]) << i;
            EXPECT_EQ(short400[i].x2 - cx, testing::kTips400[i][0]) << i;
            EXPECT_EQ(short400[i].y2 - cy, testing::kTips400[i][1]) << i;
        }
    }
}

TEST_F(StarFixture, StateIsLeftAsFoundAndAngleEndsAtMinus360)
{
    (void)Star(1234, 2345, 450, 5U);
    EXPECT_EQ(form.X1, 1234);
    EXPECT_EQ(form.Y1, 2345);
    EXPECT_EQ(form.X2, 1234);
    EXPECT_EQ(form.Y2, 2345 - 450);
    EXPECT_EQ(form.Xc, 1234);
    EXPECT_EQ(form.Yc, 2345);
    EXPECT_EQ(form.Angle, -360.0);
}

TEST_F(StarFixture, TurnsAnySpokeNotOnlyAnUprightOne)
{
    // A spoke pointing right: the first line is the spoke itself, the fourth
    // (turned -90 degrees) points up the screen.
    form.X1 = 2000;
    form.Y1 = 2000;
    form.X2 = 2300;
    form.Y2 = 2000;
    form.DrawStar(7U);
    const auto lines = LinesOf(runtime.Events());
    ASSERT_EQ(lines.size(), 12U);
    EXPECT_EQ(lines[0], (Seg{2000, 2000, 2300, 2000, 7U}));
    EXPECT_EQ(lines[3], (Seg{2000, 2000, 2000, 1700, 7U}));
    EXPECT_EQ(form.X2, 2300);
    EXPECT_EQ(form.Y2, 2000);
}

TEST_F(StarFixture, StarAroundTheCornerReachesOutsideWithoutError)
{
    const auto lines = Star(0, 0, 450, 0U);
    ASSERT_EQ(lines.size(), 12U);
    EXPECT_EQ(lines[0], (Seg{0, 0, 0, -450, 0U}));
    EXPECT_EQ(lines[3], (Seg{0, 0, -450, 0, 0U}));
    EXPECT_TRUE(runtime.Dispatch([&] { (void)Star(0, 0, 450, 0U); }));
}

TEST_F(StarFixture, SpokeLeavingTheRangeIsAnOverflowNotAWrap)
{
    runtime.Clear();
    form.X1 = 32700;
    form.Y1 = 0;
    form.X2 = 32700;
    form.Y2 = -450;
    EXPECT_FALSE(runtime.Dispatch([&] { form.DrawStar(1U); }));
    const auto& events = runtime.Events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().type, Event::Type::Error);
    EXPECT_EQ(events.back().error, ErrorKind::Overflow);
    // The spoke at -210 degrees is the first whose tip passes 32767.
    EXPECT_EQ(testing::CountOf(events, Event::Type::Line), 7U);
}

TEST(Slope, OfTheRaysFromTheCorner)
{
    RecordingRuntime runtime;
    frmLines form(runtime);
    const Int16 zero = 0;
    // One division in double: exactly the nearest double to 720 / 9620.
    EXPECT_EQ(form.Slope(zero, zero, Int16{9620}, Int16{720}), 0.07484407484407485);
    EXPECT_EQ(form.Slope(zero, zero, Int16{960}, Int16{4800}), 5.0);
    EXPECT_EQ(form.Slope(zero, zero, Int16{960}, Int16{720}), 0.75);
    EXPECT_EQ(form.Slope(Int16{10}, Int16{20}, Int16{30}, Int16{60}), 2.0);
}

TEST(Slope, VerticalLineIsAFloatErrorAndBigDifferencesOverflow)
{
    RecordingRuntime runtime;
    frmLines form(runtime);
    const auto kind = [&](Int16 xa, Int16 ya, Int16 xb, Int16 yb) {
        EXPECT_FALSE(runtime.Dispatch([&] { (void)form.Slope(xa, ya, xb, yb); }));
        return runtime.Events().back().error;
    };
    EXPECT_EQ(kind(0, 0, 0, 100), ErrorKind::Float);  // division by zero
    EXPECT_EQ(kind(5, 7, 5, 7), ErrorKind::Float);    // 0 / 0
    EXPECT_EQ(kind(0, -32768, 0, 1), ErrorKind::Overflow);
    EXPECT_EQ(kind(-32768, 0, 1, 0), ErrorKind::Overflow);
}

TEST(Delay, WritesTheEmptyCaptionCountTimes)
{
    RecordingRuntime runtime;
    frmLines form(runtime);
    form.Delay(Int16{0});
    form.Delay(Int16{-5});
    form.Delay(Int16{-32768});
    EXPECT_EQ(runtime.CaptionWrites(), 0U);
    EXPECT_EQ(runtime.LabelCaption(), "Label1");
    EXPECT_TRUE(runtime.Events().empty());

    form.Delay(kPausePerStep);
    EXPECT_EQ(runtime.LabelCaption(), "");
    ASSERT_EQ(runtime.Events().size(), 1U);
    EXPECT_EQ(runtime.Events()[0].type, Event::Type::Caption);
    EXPECT_EQ(runtime.Events()[0].count, 1000U);

    // The largest count ends without the counter overflowing.
    form.Delay(Int16{32767});
    EXPECT_EQ(runtime.CaptionWrites(), 1000U + 32767U);
}

}  // namespace
}  // namespace vantrel
