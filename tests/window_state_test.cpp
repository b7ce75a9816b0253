#include "core/frmLines.h"
#include "frontends/recording/RecordingRuntime.h"

#include <gtest/gtest.h>

#include <array>

namespace vantrel {
namespace {

TEST(FormLoad, FillsBothTablesCoordinateMajorAndDrawsNothing)
{
    RecordingRuntime runtime(3U);
    frmLines form(runtime);
    form.Form_Load();
    EXPECT_TRUE(runtime.Events().empty()) << "nothing is drawn, read or shown at load";

    const std::array<Int16, 22> left{960, 960,  960,  960,  1800, 2760, 3720, 4500, 4500, 4500, 4500,
                                     720, 2080, 3440, 4800, 5520, 5520, 5520, 720,  2080, 3440, 4800};
    const std::array<Int16, 26> right{6480, 6480, 6480, 6480, 7150, 7550, 8100, 8650, 8950, 9620, 9620, 9620, 9620,
                                      720,  2080, 3440, 4800, 5520, 4500, 3720, 4500, 5520, 4800, 3440, 2080, 720};
    EXPECT_EQ(form.LeftPoints.Cells(), left);
    EXPECT_EQ(form.RightPoints.Cells(), right);
    EXPECT_EQ(form.LeftPoints(6, 0), 3720);
    EXPECT_EQ(form.RightPoints(6, 1), 3720);
    EXPECT_EQ(form.RightPoints(12, 0), 9620);
}

TEST(FormLoad, StateStartsAtZero)
{
    RecordingRuntime runtime;
    frmLines form(runtime);
    EXPECT_EQ(form.X1, 0);
    EXPECT_EQ(form.Y1, 0);
    EXPECT_EQ(form.X2, 0);
    EXPECT_EQ(form.Y2, 0);
    EXPECT_EQ(form.Xc, 0);
    EXPECT_EQ(form.Yc, 0);
    EXPECT_EQ(form.Angle, 0.0);
    EXPECT_EQ(form.LeftPoints(10, 1), 0);
}

TEST(FormLoad, ReseedsFromTheClockSoEveryStartDiffers)
{
    // Two windows loaded one after the other draw different first colours.
    RecordingRuntime first;
    RecordingRuntime second;
    frmLines a(first);
    frmLines b(second);
    a.Form_Load();
    b.Form_Load();
    int same = 0;
    for (int i = 0; i < 6; ++i) {
        same += first.RandomNext() == second.RandomNext() ? 1 : 0;
    }
    EXPECT_LT(same, 6);
}

TEST(PointTables, IndexOutsideTheBoundsIsTheBoundsError)
{
    RecordingRuntime runtime;
    frmLines form(runtime);
    form.Form_Load();
    for (const auto& [index, coordinate] :
         std::array<std::array<int, 2>, 5>{{{11, 0}, {-1, 0}, {0, 2}, {0, -1}, {32767, 1}}}) {
        EXPECT_FALSE(runtime.Dispatch([&] { (void)form.LeftPoints(index, coordinate); }));
        EXPECT_EQ(runtime.Events().back().error, ErrorKind::Bounds);
    }
    EXPECT_FALSE(runtime.Dispatch([&] { (void)form.RightPoints(13, 1); }));
    EXPECT_EQ(runtime.Events().back().error, ErrorKind::Bounds);
    EXPECT_TRUE(runtime.Dispatch([&] { (void)form.RightPoints(12, 1); }));
}

}  // namespace
}  // namespace vantrel
