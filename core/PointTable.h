#pragma once

#include "core/Errors.h"
#include "core/Numeric.h"

#include <array>
#include <cstddef>

namespace vantrel {

// A figure table: a two-dimensional array (point index, coordinate) with
// coordinate 0 = x and 1 = y, stored coordinate-major (all x, then all y).
// Every access is checked against the bounds and raises the bounds error.
template <std::size_t N>
class PointTable {
public:
    static constexpr int kPoints = static_cast<int>(N);

    [[nodiscard]] Int16& operator()(int index, int coordinate) { return cells_[Offset(index, coordinate)]; }
    [[nodiscard]] const Int16& operator()(int index, int coordinate) const { return cells_[Offset(index, coordinate)]; }

    [[nodiscard]] const std::array<Int16, 2 * N>& Cells() const noexcept { return cells_; }

private:
    static std::size_t Offset(int index, int coordinate)
    {
        if (index < 0 || index >= kPoints || coordinate < 0 || coordinate > 1) {
            RaiseBoundsError();
        }
        return static_cast<std::size_t>(coordinate) * N + static_cast<std::size_t>(index);
    }

    std::array<Int16, 2 * N> cells_{};
};

}  // namespace vantrel
