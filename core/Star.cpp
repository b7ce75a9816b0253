#include "core/Numeric.h"
#include "core/frmLines.h"

namespace vantrel {
namespace {

constexpr double kSpokes = 360.0 / 30.0;
constexpr double kStep = 30.0;
// The star's arithmetic keeps pi at this precision: every stored picture and
// trace depends on the tips it gives.
constexpr double kRadiansPerDegree = 3.1415928 / 180.0;

}  // namespace

void frmLines::DrawStar(const Colour& colour)
{
    Angle = 0.0;
    for (Int16 spoke = 0; static_cast<double>(spoke) < kSpokes; spoke = Add16(spoke, 1)) {
        DrawSpoke(colour);
        Angle -= kStep;
    }
}

void frmLines::DrawSpoke(const Colour& colour)
{
    Xc = X1;
    Yc = Y1;
    // Make the spoke relative to the centre while it is turned.
    X2 = Sub16(X2, X1);
    Y2 = Sub16(Y2, Y1);
    const double theta = CheckFloat(kRadiansPerDegree * Angle);
    const double c = CheckFloat(Cos(theta));
    const double s = CheckFloat(Sin(theta));
    const auto dx = static_cast<double>(X2);
    const auto dy = static_cast<double>(Y2);
    const Int16 nx = RoundToInt16(dx * c - dy * s);
    const Int16 ny = RoundToInt16(dy * c + dx * s);
    const Int16 ex = Add16(Xc, nx);
    const Int16 ey = Add16(Yc, ny);
    X2 = Add16(X2, Xc);
    Y2 = Add16(Y2, Yc);
    runtime_.Line(static_cast<float>(X1), static_cast<float>(Y1), static_cast<float>(ex), static_cast<float>(ey),
                  colour);
}

}  // namespace vantrel
