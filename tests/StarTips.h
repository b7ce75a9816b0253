#pragma once

#include <array>

namespace vantrel::testing {

// Tip offsets of a star's twelve spokes from its centre, in twips and in
// drawing order, for the fly-in's 450-twip and the finale's 400-twip spokes.
using TipTable = std::array<std::array<int, 2>, 12>;

inline constexpr TipTable kTips450{{{0, -450},
                                    {-225, -390},
                                    {-390, -225},
                                    {-450, 0},
                                    {-390, 225},
                                    {-225, 390},
                                    {0, 450},
                                    {225, 390},
                                    {390, 225},
                                    {450, 0},
                                    {390, -225},
                                    {225, -390}}};

inline constexpr TipTable kTips400{{{0, -400},
                                    {-200, -346},
                                    {-346, -200},
                                    {-400, 0},
                                    {-346, 200},
                                    {-200, 346},
                                    {0, 400},
                                    {200, 346},
                                    {346, 200},
                                    {400, 0},
                                    {346, -200},
                                    {200, -346}}};

}  // namespace vantrel::testing
