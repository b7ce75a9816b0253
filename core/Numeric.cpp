#include "core/Numeric.h"

#include "core/Errors.h"

#include <cmath>
#include <limits>

namespace vantrel {
namespace {

std::uint32_t Channel(Int16 value) noexcept
{
    if (value < 0) {
        return 0;
    }
    return value > 255 ? 255U : static_cast<std::uint32_t>(value);
}

}  // namespace

Colour Rgb(Int16 red, Int16 green, Int16 blue) noexcept
{
    return Channel(red) + (Channel(green) << 8U) + (Channel(blue) << 16U);
}

Int16 RoundToInt16(double value)
{
    value = CheckFloat(value);
    // Range check before the conversion: converting an out-of-range double to
    // an integer is undefined.
    if (value < -32768.5 || value >= 32767.5) {
        RaiseOverflowError();
    }
    // nearbyint uses the current rounding mode, which the program never
    // changes from round-to-nearest-even.
    const double rounded = std::nearbyint(value);
    return Narrow16(static_cast<std::int32_t>(rounded));
}

double Sin(double radians) noexcept { return std::sin(radians); }
double Cos(double radians) noexcept { return std::cos(radians); }

double CheckFloat(double value)
{
    if (!std::isfinite(value)) {
        RaiseFloatError();
    }
    return value;
}

}  // namespace vantrel
