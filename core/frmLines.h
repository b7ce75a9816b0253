#pragma once

#include "core/Numeric.h"
#include "core/PointTable.h"
#include "core/Runtime.h"

#include <string_view>

namespace vantrel {

inline constexpr std::string_view kProductName = "Vantrel v2.0";
inline constexpr std::string_view kGreeting = "Merry Chritmas from the Quorvel!!!";
// Rounds of Delay after every drawing step of the show.
inline constexpr Int16 kPausePerStep = 1000;

// The main window as the show sees it: the show state, the two figure tables
// and every procedure of the show. It holds no toolkit type; the widget that
// shows it on screen lives beside it and reaches it only through the Runtime.
//
// The procedures talk through the show state, not through parameters, so the
// state is public: tests place a spoke and read it back just as the show does.
class frmLines {
public:
    explicit frmLines(Runtime& runtime) : runtime_(runtime) {}

    // Event handlers.
    void Form_Load();
    void cmdStart_Click();

    // Star drawing.
    void DrawStar(const Colour& colour);
    void DrawSpoke(const Colour& colour);
    // Slope of the line through (xa, ya) and (xb, yb).
    [[nodiscard]] static double Slope(const Int16& xa, const Int16& ya, const Int16& xb, const Int16& yb);
    // Busy pause of `count` rounds, each an empty write to lblSleep's caption.
    void Delay(const Int16& count);
    // Redraws every point of both figures once as a star in a fresh colour.
    void Twinkle();

    // Show state: centre of the current star, tip of its unturned spoke, the
    // centre saved by DrawSpoke and the turn of the spoke being drawn.
    Int16 X1 = 0;
    Int16 Y1 = 0;
    Int16 X2 = 0;
    Int16 Y2 = 0;
    Int16 Xc = 0;
    Int16 Yc = 0;
    double Angle = 0.0;

    PointTable<11> LeftPoints;
    PointTable<13> RightPoints;

private:
    // Second half of the show: clear, 100 twinkling passes, the greeting.
    void Finale();
    template <std::size_t N>
    void FlyInFigure(const PointTable<N>& figure, Int16 channelLift);
    template <std::size_t N>
    void TwinkleFigure(const PointTable<N>& figure);
    [[nodiscard]] Colour RandomColour(Int16 channelLift);

    Runtime& runtime_;
};

}  // namespace vantrel
