#include "core/Numeric.h"
#include "core/frmLines.h"

namespace vantrel {
namespace {

constexpr Int16 kPasses = 100;
constexpr Int16 kTwinkleSpoke = 400;

}  // namespace

void frmLines::Finale()
{
    runtime_.Cls();
    for (Int16 pass = 0; pass < kPasses; pass = Add16(pass, 1)) {
        Twinkle();
    }
    runtime_.ShowMessageBox(kGreeting, kMsgBoxInformation, kProductName);
}

void frmLines::Twinkle()
{
    TwinkleFigure(LeftPoints);
    TwinkleFigure(RightPoints);
}

template <std::size_t N>
void frmLines::TwinkleFigure(const PointTable<N>& figure)
{
    for (Int16 i = 0; i < PointTable<N>::kPoints; i = Add16(i, 1)) {
        // A star exactly on the point, spoke straight up, never erased.
        X1 = figure(i, 0);
        Y1 = figure(i, 1);
        X2 = X1;
        Y2 = Sub16(Y1, kTwinkleSpoke);
        DrawStar(RandomColour(0));
        Delay(kPausePerStep);
    }
}

}  // namespace vantrel
