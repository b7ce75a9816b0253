#pragma once

#include "core/Errors.h"
#include "core/Runtime.h"

#include <cstdint>
#include <limits>

// Numeric services of the runtime: colour composition, the 16-bit rounding,
// sine and cosine, and the checked 16-bit arithmetic every procedure of the
// show uses on its state. Errors are raised, never wrapped or saturated.
namespace vantrel {

using Int16 = std::int16_t;

// Channels above 255 count as 255; below 0 as 0.
[[nodiscard]] Colour Rgb(Int16 red, Int16 green, Int16 blue) noexcept;

// Nearest integer, halves to the even neighbour. Raises the float error for
// NaN or infinity and the overflow error outside -32768..32767.
[[nodiscard]] Int16 RoundToInt16(double value);

[[nodiscard]] double Sin(double radians) noexcept;
[[nodiscard]] double Cos(double radians) noexcept;

// Raises the float error unless the value is finite (an invalid operation,
// a division by zero or an overflow leaves a NaN or an infinity behind).
[[nodiscard]] double CheckFloat(double value);

// Checked 16-bit addition and subtraction: the overflow error when the exact
// result leaves the signed range. Inline: every round of a pause adds one.
[[nodiscard]] inline Int16 Narrow16(std::int32_t value)
{
    if (value < std::numeric_limits<Int16>::min() || value > std::numeric_limits<Int16>::max()) {
        RaiseOverflowError();
    }
    return static_cast<Int16>(value);
}
[[nodiscard]] inline Int16 Add16(Int16 a, Int16 b) { return Narrow16(std::int32_t{a} + std::int32_t{b}); }
[[nodiscard]] inline Int16 Sub16(Int16 a, Int16 b) { return Narrow16(std::int32_t{a} - std::int32_t{b}); }

}  // namespace vantrel
