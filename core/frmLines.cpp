#include "core/frmLines.h"

#include <array>

namespace vantrel {
namespace {

struct Point {
    Int16 x;
    Int16 y;
};

// Left figure: 0-3 down the left side, 4-6 along the bottom, 7-10 down the right side.
constexpr std::array<Point, 11> kLeftFigure{{{960, 720},
                                             {960, 2080},
                                             {960, 3440},
                                             {960, 4800},
                                             {1800, 5520},
                                             {2760, 5520},
                                             {3720, 5520},
                                             {4500, 720},
                                             {4500, 2080},
                                             {4500, 3440},
                                             {4500, 4800}}};

// Right figure: 0-3 down the left side, 4-8 across with a peak at 6, 9-12 up the right side.
constexpr std::array<Point, 13> kRightFigure{{{6480, 720},
                                              {6480, 2080},
                                              {6480, 3440},
                                              {6480, 4800},
                                              {7150, 5520},
                                              {7550, 4500},
                                              {8100, 3720},
                                              {8650, 4500},
                                              {8950, 5520},
                                              {9620, 4800},
                                              {9620, 3440},
                                              {9620, 2080},
                                              {9620, 720}}};

template <std::size_t N>
void Fill(PointTable<N>& table, const std::array<Point, N>& points)
{
    for (int i = 0; i < PointTable<N>::kPoints; ++i) {
        const auto& point = points[static_cast<std::size_t>(i)];
        table(i, 0) = point.x;
        table(i, 1) = point.y;
    }
}

}  // namespace

void frmLines::Form_Load()
{
    runtime_.Randomize();
    Fill(LeftPoints, kLeftFigure);
    Fill(RightPoints, kRightFigure);
}

}  // namespace vantrel
