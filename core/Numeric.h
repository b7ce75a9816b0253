#pragma once

#include "core/Runtime.h"

#include <cstdint>

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
// result leaves the signed range.
[[nodiscard]] Int16 Add16(Int16 a, Int16 b);
[[nodiscard]] Int16 Sub16(Int16 a, Int16 b);

}  // namespace vantrel
