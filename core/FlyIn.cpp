#include "core/Numeric.h"
#include "core/frmLines.h"

namespace vantrel {
namespace {

constexpr Int16 kFlySpoke = 450;
constexpr Int16 kFlyStep = 50;
constexpr Int16 kRightLift = 2;
constexpr Int16 kLeftLift = 0;

}  // namespace

void frmLines::cmdStart_Click()
{
    // Right figure first, each from its last point to its first.
    FlyInFigure(RightPoints, kRightLift);
    FlyInFigure(LeftPoints, kLeftLift);
    Finale();
}

Colour frmLines::RandomColour(Int16 channelLift)
{
    // The products are formed in double from the single-precision draws; a
    // lifted channel may reach 256 or 257, which Rgb takes as 255.
    const auto lift = static_cast<double>(channelLift);
    const auto channel = [&](float r) { return RoundToInt16(CheckFloat(static_cast<double>(r) * 255.0 + lift)); };
    const float r1 = runtime_.RandomNext();
    const float r2 = runtime_.RandomNext();
    const float r3 = runtime_.RandomNext();
    // Red, green, blue in that order, so a bad draw always reports the same error.
    const Int16 red = channel(r1);
    const Int16 green = channel(r2);
    const Int16 blue = channel(r3);
    return Rgb(red, green, blue);
}

template <std::size_t N>
void frmLines::FlyInFigure(const PointTable<N>& figure, Int16 channelLift)
{
    constexpr Int16 kOrigin = 0;
    for (auto i = static_cast<Int16>(PointTable<N>::kPoints - 1); i >= 0; i = Sub16(i, 1)) {
        const Int16 x = figure(i, 0);
        const Int16 y = figure(i, 1);

        // The star starts at the top-left corner with its spoke straight up.
        X1 = 0;
        Y1 = 0;
        X2 = 0;
        Y2 = -kFlySpoke;
        const double slope = Slope(kOrigin, kOrigin, x, y);
        const Colour colour = RandomColour(channelLift);

        while (X1 <= x) {
            // Erase where it stands, move 50 twips along the ray, draw, pause.
            const Colour background = runtime_.BackColor();
            DrawStar(background);
            X1 = Add16(X1, kFlyStep);
            Y1 = RoundToInt16(CheckFloat(static_cast<double>(X1) * slope));
            X2 = X1;
            Y2 = Sub16(Y1, kFlySpoke);
            DrawStar(colour);
            Delay(kPausePerStep);
        }
    }
}

}  // namespace vantrel
