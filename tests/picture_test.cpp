// The picture's units, its dirty area at 100 %, and its record of lines over
// whole shows (the per-ratio rules are in picture_scale_test.cpp).
#include "core/Picture.h"
#include "core/frmLines.h"
#include "frontends/recording/RecordedPicture.h"
#include "frontends/recording/RecordingRuntime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace vantrel {
namespace {

TEST(TwipsToPixels, RoundsToTheNearestPixel)
{
    EXPECT_EQ(TwipsToPixels(1000), 67);
    EXPECT_EQ(TwipsToPixels(0), 0);
    EXPECT_EQ(TwipsToPixels(7), 0);
    EXPECT_EQ(TwipsToPixels(8), 1);
    EXPECT_EQ(TwipsToPixels(10725), 715);
    EXPECT_EQ(TwipsToPixels(-450), -30);
    EXPECT_EQ(TwipsToPixels(1e30), 1000000);
    // Straight to device pixels, rounded once (not 67 * 1.5 = 100.5 rounded again).
    EXPECT_EQ(TwipsToDevicePixels(1000, 1.5), 100);
    EXPECT_EQ(TwipsToDevicePixels(1000, 1.0), 67);
    EXPECT_EQ(TwipsToDevicePixels(-1e30, 2.0), -1000000);
}

TEST(PenWidth, IsOneLogicalPixelNeverLessThanOneDevicePixel)
{
    EXPECT_EQ(PenWidth(0.5), 1);
    EXPECT_EQ(PenWidth(1.49), 1);
    EXPECT_EQ(PenWidth(std::numeric_limits<double>::quiet_NaN()), 1);
    // An unusable ratio counts as 1.
    const Picture picture(kClientWidth, kClientHeight, 0.0, kBlackPixel);
    EXPECT_EQ(picture.Ratio(), 1.0);
    EXPECT_EQ(picture.Width(), 715);
    EXPECT_EQ(picture.Pen(), 1);
}

TEST(Picture, DirtyAreaCoversWhatWasDrawnAndNoMore)
{
    Picture picture(kClientWidth, kClientHeight, 1.0, kBlackPixel);
    EXPECT_TRUE(picture.TakeDirty().Empty());
    picture.DrawLine(1500, 1500, 3000, 750, 0xFFFFFFFFU);  // pixels (100, 100) to (200, 50)
    const PixelRect dirty = picture.TakeDirty();
    EXPECT_TRUE(dirty.left <= 100 && dirty.top <= 50 && dirty.right >= 201 && dirty.bottom >= 101);
    EXPECT_LT(dirty.Width(), 110);
    EXPECT_LT(dirty.Height(), 60);
    EXPECT_EQ(picture.ToLogical(dirty), dirty);
}

// Two presses of a show: the second one flies in over the first one's finale.
std::vector<Event> TwoPresses(std::uint32_t seed)
{
    RecordingRuntime runtime(seed);
    frmLines form(runtime);
    EXPECT_TRUE(runtime.Dispatch([&] { form.Form_Load(); }));
    for (int press = 0; press < 2; ++press) {
        EXPECT_TRUE(runtime.Dispatch([&] { form.cmdStart_Click(); }));
    }
    runtime.Finish();
    return runtime.Events();
}
const std::vector<Event>& TwoPressesOfSeed5()
{
    static const std::vector<Event> events = TwoPresses(5);
    return events;
}

void Replay(const std::vector<Event>& events, Picture& picture, std::size_t from = 0,
            std::size_t to = std::numeric_limits<std::size_t>::max())
{
    for (std::size_t i = from; i < events.size() && i < to; ++i) {
        DrawRecorded(picture, events[i]);
    }
}

std::vector<Pixel> Copy(const Picture& picture)
{
    return {picture.Pixels(), picture.Pixels() + static_cast<std::ptrdiff_t>(picture.Width()) * picture.Height()};
}

TEST(PictureRecord, AShowMovedBetweenScalesEqualsTheShowDrawnThere)
{
    const std::vector<Event>& events = TwoPressesOfSeed5();
    std::size_t secondClear = 0;
    for (std::size_t i = 0, clears = 0; i < events.size() && clears < 2; ++i) {
        clears += events[i].type == Event::Type::Cls ? 1U : 0U;
        secondClear = i;
    }
    // Moved from 150 % to 200 % when the record is fullest, the second
    // press's fly-in over the first finale; drawn on there; moved to 100 %
    // at the greeting.
    Picture moved(kClientWidth, kClientHeight, 1.5, kBlackPixel);
    Picture at2(kClientWidth, kClientHeight, 2.0, kBlackPixel);
    Replay(events, moved, 0, secondClear);
    Replay(events, at2, 0, secondClear);
    ASSERT_EQ(moved.RecordedLines(), kMaxRecordedLines);
    moved.SetRatio(2.0);
    EXPECT_EQ(Copy(moved), Copy(at2)) << "before the second clear";
    Replay(events, moved, secondClear);
    Replay(events, at2, secondClear);
    EXPECT_EQ(Copy(moved), Copy(at2)) << "at the greeting";
    moved.SetRatio(1.0);
    Picture at1(kClientWidth, kClientHeight, 1.0, kBlackPixel);
    Replay(events, at1);
    EXPECT_EQ(Copy(moved), Copy(at1)) << "at the greeting, moved again";
}

TEST(PictureRecord, TwoPressesStayWithinTheBoundAndKeepEveryLineSinceTheClear)
{
    for (const std::uint32_t seed : {5U, 4096U}) {
        const std::vector<Event> events = seed == 5 ? TwoPressesOfSeed5() : TwoPresses(seed);
        Picture picture(kClientWidth, kClientHeight, 1.0, kBlackPixel);
        std::size_t most = 0;
        std::size_t sinceClear = 0;
        for (const Event& e : events) {
            DrawRecorded(picture, e);
            sinceClear = e.type == Event::Type::Cls ? 0 : sinceClear + (e.type == Event::Type::Line ? 1 : 0);
            ASSERT_EQ(picture.RecordedLines(), sinceClear) << "seed " << seed << ": the record lost lines";
            most = std::max(most, picture.RecordedLines());
        }
        // The most is one finale and the next fly-in: the bound is no larger than a show needs.
        EXPECT_EQ(most, kMaxRecordedLines) << "seed " << seed;
    }
}

TEST(PictureRecord, PastItsBoundTheRecordIsDroppedUntilTheNextClear)
{
    Picture picture(kClientWidth, kClientHeight, 1.0, kBlackPixel);
    for (std::size_t i = 0; i <= kMaxRecordedLines; ++i) {
        picture.DrawLine(1500, 1500, 3000, 1500, PixelOf(static_cast<Colour>(i % 200 + 50)));
    }
    EXPECT_EQ(picture.RecordedLines(), 0U);
    const Pixel last = picture.At(150, 100);
    EXPECT_NE(last, kBlackPixel);
    // The picture is kept, rescaled.
    picture.SetRatio(2.0);
    EXPECT_EQ(picture.Width(), 1430);
    EXPECT_EQ(picture.Height(), 974);
    EXPECT_EQ(picture.At(300, 200), last);
    picture.Clear(kBlackPixel);
    picture.DrawLine(0, 0, 150, 150, 0xFFFFFFFFU);
    EXPECT_EQ(picture.RecordedLines(), 1U);
}

}  // namespace
}  // namespace vantrel
