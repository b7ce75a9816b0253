// Reads screenshots of the real window (PNG, client area only) and checks them
// against the geometry the show must produce. The stars' colours are random,
// so the checks are about where pixels are lit and how they are coloured
// together, not about which colour they have.
//
//   picture_check idle SHOT           nothing drawn: black but for the controls
//   picture_check finale SHOT         exactly the 24 finale stars
//   picture_check over FINALE SHOT    a second press's fly-in over the finale
#include "StarTips.h"
#include "core/frmLines.h"
#include "frontends/recording/RecordingRuntime.h"

#include <QImage>
#include <QRect>
#include <QString>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <set>
#include <string_view>
#include <vector>

namespace {

using vantrel::Int16;

constexpr int kWidth = 715;
constexpr int kHeight = 487;
// The controls in pixels; the show never draws there.
const QRect kButton(288, 416, 145, 41);
const QRect kLabel(624, 432, 81, 33);

using vantrel::testing::kTips400;
using vantrel::testing::kTips450;

struct TwipPoint {
    int x;
    int y;
};

int ToPixel(int twips) { return static_cast<int>(std::lround(twips / 15.0)); }

struct Segment {
    int x1, y1, x2, y2;
};

Segment Spoke(TwipPoint centre, const std::array<int, 2>& tip)
{
    return {ToPixel(centre.x), ToPixel(centre.y), ToPixel(centre.x + tip[0]), ToPixel(centre.y + tip[1])};
}

double Distance(int px, int py, const Segment& s)
{
    const double dx = s.x2 - s.x1;
    const double dy = s.y2 - s.y1;
    const double length2 = dx * dx + dy * dy;
    double t = length2 == 0.0 ? 0.0 : ((px - s.x1) * dx + (py - s.y1) * dy) / length2;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (s.x1 + t * dx), py - (s.y1 + t * dy));
}

// Marks every pixel within one pixel of the segment with `label`.
void Mark(std::vector<int>& labels, const Segment& s, int label)
{
    const int left = std::max(0, std::min(s.x1, s.x2) - 1);
    const int right = std::min(kWidth - 1, std::max(s.x1, s.x2) + 1);
    const int top = std::max(0, std::min(s.y1, s.y2) - 1);
    const int bottom = std::min(kHeight - 1, std::max(s.y1, s.y2) + 1);
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            if (Distance(x, y, s) <= 1.0) {
                labels[static_cast<std::size_t>(y * kWidth + x)] = label;
            }
        }
    }
}

// The figure points as the program's own table holds them, right figure first.
std::vector<TwipPoint> FigurePoints()
{
    vantrel::RecordingRuntime runtime(1U);
    vantrel::frmLines form(runtime);
    form.Form_Load();
    std::vector<TwipPoint> points;
    for (int i = 0; i < form.RightPoints.kPoints; ++i) {
        points.push_back({form.RightPoints(i, 0), form.RightPoints(i, 1)});
    }
    for (int i = 0; i < form.LeftPoints.kPoints; ++i) {
        points.push_back({form.LeftPoints(i, 0), form.LeftPoints(i, 1)});
    }
    return points;
}
constexpr int kRightPoints = 13;

bool IsBlack(QRgb pixel) { return (pixel & 0xFFFFFFU) == 0; }
bool InControls(int x, int y) { return kButton.contains(x, y) || kLabel.contains(x, y); }

class Report {
public:
    explicit Report(const char* what) : what_(what) {}
    __attribute__((format(printf, 2, 3))) void Fail(const char* format, ...)
    {
        if (++failures_ <= 20) {
            std::printf("FAIL %s: ", what_);
            va_list args;
            va_start(args, format);
            std::vprintf(format, args);
            va_end(args);
            std::printf("\n");
        }
    }
    int Finish()
    {
        if (failures_ > 20) {
            std::printf("FAIL %s: ... %d failures in all\n", what_, failures_);
        }
        if (failures_ == 0) {
            std::printf("ok %s\n", what_);
        }
        return failures_ == 0 ? 0 : 1;
    }

private:
    const char* what_;
    int failures_ = 0;
};

bool Load(const char* path, QImage& image)
{
    image = QImage(QString::fromLocal8Bit(path)).convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) {
        std::printf("FAIL cannot read %s\n", path);
        return false;
    }
    if (image.width() != kWidth || image.height() != kHeight) {
        std::printf("FAIL %s is %dx%d, the client area is %dx%d\n", path, image.width(), image.height(), kWidth,
                    kHeight);
        return false;
    }
    return true;
}

int CheckIdle(const QImage& shot)
{
    Report report("idle window");
    int button = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const bool lit = !IsBlack(shot.pixel(x, y));
            if (lit && !InControls(x, y)) {
                report.Fail("pixel (%d, %d) is lit outside the controls: #%06x", x, y, shot.pixel(x, y) & 0xFFFFFFU);
            }
            button += lit && kButton.contains(x, y) ? 1 : 0;
        }
    }
    // The button face fills its rectangle.
    const int area = kButton.width() * kButton.height();
    if (button < area * 9 / 10) {
        report.Fail("only %d of the button's %d pixels are drawn", button, area);
    }
    std::printf("button pixels drawn: %d of %d\n", button, area);
    return report.Finish();
}

int CheckFinale(const QImage& shot)
{
    Report report("finale picture");
    const std::vector<TwipPoint> points = FigurePoints();
    // Which star each pixel within a pixel of a spoke belongs to; the stars
    // stand far enough apart that none of these overlap.
    std::vector<int> star(static_cast<std::size_t>(kWidth * kHeight), -1);
    std::vector<std::array<Segment, 12>> spokes;
    for (std::size_t s = 0; s < points.size(); ++s) {
        std::array<Segment, 12> lines{};
        for (std::size_t k = 0; k < 12; ++k) {
            lines[k] = Spoke(points[s], kTips400[k]);
            Mark(star, lines[k], static_cast<int>(s));
        }
        spokes.push_back(lines);
    }

    std::vector<std::set<QRgb>> colours(points.size());
    int lit = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const QRgb pixel = shot.pixel(x, y);
            if (IsBlack(pixel) || InControls(x, y)) {
                continue;
            }
            ++lit;
            const int s = star[static_cast<std::size_t>(y * kWidth + x)];
            if (s < 0) {
                report.Fail("pixel (%d, %d) #%06x is on no star's spoke", x, y, pixel & 0xFFFFFFU);
            } else {
                colours[static_cast<std::size_t>(s)].insert(pixel);
            }
        }
    }

    for (std::size_t s = 0; s < points.size(); ++s) {
        const auto& cs = colours[s];
        if (cs.size() != 1) {
            report.Fail("star %zu at (%d, %d) twips has %zu colours, not one", s, points[s].x, points[s].y, cs.size());
            continue;
        }
        const QRgb colour = *cs.begin();
        // Every spoke is there from the centre to its tip: each pixel step
        // along it has the star's colour within a pixel.
        for (const Segment& line : spokes[s]) {
            const int steps = std::max(std::abs(line.x2 - line.x1), std::abs(line.y2 - line.y1));
            int gaps = 0;
            for (int k = 0; k <= steps; ++k) {
                const double t = steps == 0 ? 0.0 : static_cast<double>(k) / steps;
                const int x = static_cast<int>(std::lround(line.x1 + t * (line.x2 - line.x1)));
                const int y = static_cast<int>(std::lround(line.y1 + t * (line.y2 - line.y1)));
                bool found = false;
                for (int dy = -1; dy <= 1 && !found; ++dy) {
                    for (int dx = -1; dx <= 1 && !found; ++dx) {
                        const int px = x + dx;
                        const int py = y + dy;
                        found = px >= 0 && py >= 0 && px < kWidth && py < kHeight && shot.pixel(px, py) == colour;
                    }
                }
                gaps += found ? 0 : 1;
            }
            if (gaps > 0) {
                report.Fail("star %zu at (%d, %d) twips: spoke to (%d, %d) px has %d of %d pixels missing", s,
                            points[s].x, points[s].y, line.x2, line.y2, gaps, steps + 1);
            }
        }
    }
    std::printf("lit pixels: %d, stars: %zu\n", lit, points.size());
    return report.Finish();
}

int CheckOver(const QImage& finale, const QImage& shot)
{
    Report report("fly-in over the finale");
    // Everywhere a star of the right figure's flights can stand, move by move
    // along its ray from the corner. The shot is taken a few seconds into a
    // press; those flights alone last over ten seconds.
    const std::vector<TwipPoint> points = FigurePoints();
    std::vector<int> path(static_cast<std::size_t>(kWidth * kHeight), -1);
    for (int i = kRightPoints - 1; i >= 0; --i) {
        const TwipPoint target = points[static_cast<std::size_t>(i)];
        const double slope = static_cast<double>(target.y) / target.x;
        for (int x = 0; x - 50 <= target.x; x += 50) {
            const TwipPoint centre{x, static_cast<int>(std::nearbyint(x * slope))};
            for (const auto& tip : kTips450) {
                Mark(path, Spoke(centre, tip), i);
            }
        }
    }

    int kept = 0;
    int cut = 0;
    int overdrawn = 0;
    int added = 0;
    int keptOffPath = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (InControls(x, y)) {
                continue;
            }
            const QRgb before = finale.pixel(x, y);
            const QRgb after = shot.pixel(x, y);
            const bool onPath = path[static_cast<std::size_t>(y * kWidth + x)] >= 0;
            if (before == after) {
                kept += IsBlack(before) ? 0 : 1;
                keptOffPath += !IsBlack(before) && !onPath ? 1 : 0;
                continue;
            }
            if (!onPath) {
                report.Fail("pixel (%d, %d) changed from #%06x to #%06x off every flight's path", x, y,
                            before & 0xFFFFFFU, after & 0xFFFFFFU);
            }
            if (IsBlack(after)) {
                ++cut;
            } else if (IsBlack(before)) {
                ++added;
            } else {
                ++overdrawn;
            }
        }
    }
    std::printf("old star pixels kept: %d (%d off the flights' paths), cut to black: %d, overdrawn: %d; new: %d\n",
                kept, keptOffPath, cut, overdrawn, added);
    if (cut == 0) {
        report.Fail("no old star pixel was cut by the flying stars");
    }
    if (added == 0) {
        report.Fail("no new star pixels");
    }
    // The stars away from the right figure's rays must all still be there.
    if (keptOffPath == 0) {
        report.Fail("nothing of the old picture is left");
    }
    return report.Finish();
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string_view mode = argc > 1 ? argv[1] : "";
    QImage first;
    QImage second;
    if (mode == "idle" && argc == 3 && Load(argv[2], first)) {
        return CheckIdle(first);
    }
    if (mode == "finale" && argc == 3 && Load(argv[2], first)) {
        return CheckFinale(first);
    }
    if (mode == "over" && argc == 4 && Load(argv[2], first) && Load(argv[3], second)) {
        return CheckOver(first, second);
    }
    if (mode != "idle" && mode != "finale" && mode != "over") {
        std::fputs("usage: picture_check idle SHOT | finale SHOT | over FINALE SHOT\n", stderr);
        return 2;
    }
    return 1;
}
