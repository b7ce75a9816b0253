#include "core/Picture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace vantrel {
namespace {

// Far beyond any window, small enough for an int; keeps wild inputs clipped, not wrapped.
constexpr double kLimitPixels = 1.0e6;

int RoundClamped(double pixels) noexcept
{
    if (std::isnan(pixels)) {
        return 0;
    }
    // Halves away from zero, as lround, which costs several times more.
    return static_cast<int>(std::round(std::clamp(pixels, -kLimitPixels, kLimitPixels)));
}

// num / den rounded down, for den > 0.
std::int64_t FloorDiv(std::int64_t num, std::int64_t den) noexcept
{
    const std::int64_t q = num / den;
    return (num % den != 0 && num < 0) ? q - 1 : q;
}

// The minor-axis offset at `step` of `steps` along a line that moves `rise`
// across: step * rise / steps to the nearest whole, halves rounded up.
int MinorOffset(std::int64_t step, std::int64_t rise, std::int64_t steps) noexcept
{
    if (steps == 0) {
        return 0;
    }
    return static_cast<int>(FloorDiv(2 * step * rise + steps, 2 * steps));
}

// The one-pixel line works in 26.6 fixed point for positions and 16.16 for
// the step across, as the classic aliased cosmetic stroker does: every
// truncation below is part of which pixels light.
int To26Dot6(double v) noexcept { return static_cast<int>(v * 64.0); }

int FixedDiv16(int num, int den) noexcept { return static_cast<int>((static_cast<std::int64_t>(num) * 65536) / den); }

// Clips a line to [lo, hi] on both axes in floating point, before any
// fixed-point step, as the aliased stroker does; false if nothing is left.
bool ClipThin(double& x1, double& y1, double& x2, double& y2, double xmax, double ymax) noexcept
{
    constexpr double kMin = -1.0;
    if (x1 < kMin) {
        if (x2 <= kMin) {
            return false;
        }
        y1 += (y2 - y1) / (x2 - x1) * (kMin - x1);
        x1 = kMin;
    } else if (x1 > xmax) {
        if (x2 >= xmax) {
            return false;
        }
        y1 += (y2 - y1) / (x2 - x1) * (xmax - x1);
        x1 = xmax;
    }
    if (x2 < kMin) {
        y2 += (y2 - y1) / (x2 - x1) * (kMin - x2);
        x2 = kMin;
    } else if (x2 > xmax) {
        y2 += (y2 - y1) / (x2 - x1) * (xmax - x2);
        x2 = xmax;
    }
    if (y1 < kMin) {
        if (y2 <= kMin) {
            return false;
        }
        x1 += (x2 - x1) / (y2 - y1) * (kMin - y1);
        y1 = kMin;
    } else if (y1 > ymax) {
        if (y2 >= ymax) {
            return false;
        }
        x1 += (x2 - x1) / (y2 - y1) * (ymax - y1);
        y1 = ymax;
    }
    if (y2 < kMin) {
        x2 += (x2 - x1) / (y2 - y1) * (kMin - y2);
        y2 = kMin;
    } else if (y2 > ymax) {
        x2 += (x2 - x1) / (y2 - y1) * (ymax - y2);
        y2 = ymax;
    }
    return true;
}

}  // namespace

Pixel StandardPixelOf(Colour colour) noexcept
{
    // Index -> Rgb value: scroll bar, desktop, active and inactive caption,
    // menu, window, frame, menu text, window text, caption text, borders,
    // workspace, highlight and its text, face, shadow, grey text, button
    // text, inactive caption text, highlight, dark shadow, light, tooltip.
    static constexpr std::array<Colour, 25> kScheme{
        0xC8C8C8, 0xA56E3A, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000, 0x000000,
        0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xFF9933, 0xFFFFFF, 0xF0F0F0, 0xA0A0A0, 0x6D6D6D,
        0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000, 0xE1FFFF};
    if ((colour & kSystemColourFlag) == 0U) {
        return PixelOf(colour);
    }
    const Colour index = colour & ~kSystemColourFlag;
    return PixelOf(index < kScheme.size() ? kScheme[index] : 0U);
}

int TwipsToPixels(double twips) noexcept { return RoundClamped(twips / kTwipsPerPixel); }

int TwipsToDevicePixels(double twips, double ratio) noexcept { return RoundClamped(twips / kTwipsPerPixel * ratio); }

int LogicalToDevice(int logical, double ratio) noexcept
{
    return static_cast<int>(std::clamp(std::floor(logical * UsableRatio(ratio) + 0.5), 0.0, kLimitPixels));
}

int PenWidth(double ratio) noexcept
{
    return static_cast<int>(std::clamp(std::lround(UsableRatio(ratio)), 1L, static_cast<long>(kLimitPixels)));
}

double UsableRatio(double ratio) noexcept { return std::isfinite(ratio) && ratio > 0.0 ? ratio : 1.0; }

Picture::Picture(int logicalWidth, int logicalHeight, double ratio, Pixel background)
    : logicalWidth_(std::max(logicalWidth, 0)),
      logicalHeight_(std::max(logicalHeight, 0)),
      ratio_(UsableRatio(ratio)),
      background_(background)
{
    Allocate(ratio_);
}

void Picture::Allocate(double ratio)
{
    ratio_ = ratio;
    pen_ = PenWidth(ratio);
    width_ = LogicalToDevice(logicalWidth_, ratio);
    height_ = LogicalToDevice(logicalHeight_, ratio);
    pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), background_);
}

void Picture::DrawLine(float x1, float y1, float x2, float y2, Pixel colour)
{
    const Line line{x1, y1, x2, y2, colour | 0xFF000000U};
    if (recordKept_) {
        if (record_.size() < kMaxRecordedLines) {
            // Grown by doubling as usual, but never past the bound.
            if (record_.size() == record_.capacity()) {
                record_.reserve(std::min(kMaxRecordedLines, std::max<std::size_t>(1024, 2 * record_.capacity())));
            }
            record_.push_back(line);
        } else {
            std::vector<Line>().swap(record_);
            recordKept_ = false;
        }
    }
    Raster(line);
}

void Picture::Raster(const Line& line)
{
    const int ax = TwipsToDevicePixels(line.x1, ratio_);
    const int ay = TwipsToDevicePixels(line.y1, ratio_);
    const int bx = TwipsToDevicePixels(line.x2, ratio_);
    const int by = TwipsToDevicePixels(line.y2, ratio_);
    // Always from the same end, so a line and its reverse are one set of pixels.
    if (std::make_pair(bx, by) < std::make_pair(ax, ay)) {
        pen_ == 1 ? RasterThin(bx, by, ax, ay, line.colour) : RasterWide(bx, by, ax, ay, line.colour);
    } else {
        pen_ == 1 ? RasterThin(ax, ay, bx, by, line.colour) : RasterWide(ax, ay, bx, by, line.colour);
    }
}

void Picture::RasterThin(int ax, int ay, int bx, int by, Pixel colour)
{
    Touch(std::min(ax, bx) - 1, std::min(ay, by) - 1, std::max(ax, bx) + 1, std::max(ay, by) + 1);
    // Locals, not members: a store to a pixel could otherwise alias them.
    Pixel* const pixels = pixels_.data();
    const auto width = static_cast<unsigned>(width_);
    const auto height = static_cast<unsigned>(height_);
    const auto plot = [pixels, width, height, colour](int x, int y) {
        const auto ux = static_cast<unsigned>(x);  // a negative one wraps past the edge
        const auto uy = static_cast<unsigned>(y);
        if (ux < width && uy < height) {
            pixels[static_cast<std::size_t>(uy) * width + ux] = colour;
        }
    };
    if (ax == bx && ay == by) {
        plot(ax, ay);
        return;
    }
    double rx1 = ax;
    double ry1 = ay;
    double rx2 = bx;
    double ry2 = by;
    if (!ClipThin(rx1, ry1, rx2, ry2, width_ + 1.0, height_ + 1.0)) {
        return;
    }
    int x1 = To26Dot6(rx1);
    int y1 = To26Dot6(ry1);
    int x2 = To26Dot6(rx2);
    int y2 = To26Dot6(ry2);

    // Walk the longer axis one pixel at a time; the ends are carried half a
    // pixel out (square caps), so both end points light.
    const bool alongY = std::abs(x2 - x1) < std::abs(y2 - y1);
    if (!alongY && x1 == x2) {
        return;
    }
    if (alongY) {
        std::swap(x1, y1);
        std::swap(x2, y2);
    }
    if (x1 > x2) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    // Shifts of negative values are arithmetic (C++20): they round down, as the stroker's do.
    const int inc = FixedDiv16(y2 - y1, x2 - x1);
    int across = y1 * 1024 - (inc >> 1);
    x1 -= 32;
    x2 += 32;
    int along = (x1 + 32) >> 6;
    const int end = (x2 + 32) >> 6;
    if (along == end) {
        return;
    }
    const int round = inc > 0 ? 32 : 0;
    across += ((along * 64 + round - x1) * inc) >> 6;
    do {
        const int minor = across >> 16;
        alongY ? plot(minor, along) : plot(along, minor);
        across += inc;
    } while (++along < end);
}

void Picture::RasterWide(int ax, int ay, int bx, int by, Pixel colour)
{
    // The line's pixels along its longer axis, each widened to pen_ pixels
    // across it, and the ends carried on by the pen's half-widths (square
    // ends). Every step along the line is then exactly pen_ pixels wide,
    // whatever its slope. Computed per step, not accumulated, so clipping to
    // the buffer cannot shift what is left.
    const int before = (pen_ - 1) / 2;
    const int after = pen_ - 1 - before;
    const bool alongX = std::abs(bx - ax) >= std::abs(by - ay);
    if (alongX ? bx < ax : by < ay) {
        std::swap(ax, bx);
        std::swap(ay, by);
    }
    // Major axis m, minor axis n.
    const int m1 = alongX ? ax : ay;
    const int m2 = alongX ? bx : by;
    const int n1 = alongX ? ay : ax;
    const int n2 = alongX ? by : bx;
    const int majorEnd = (alongX ? width_ : height_) - 1;
    const int minorEnd = (alongX ? height_ : width_) - 1;
    const int from = std::max(m1 - before, 0);
    const int to = std::min(m2 + after, majorEnd);
    if (from > to || std::max(n1, n2) + after < 0 || std::min(n1, n2) - before > minorEnd) {
        return;
    }
    const auto fill = [&](int mFrom, int mTo, int n) {
        const int nFrom = std::max(n - before, 0);
        const int nTo = std::min(n + after, minorEnd);
        if (nFrom > nTo) {
            return;
        }
        const int left = alongX ? mFrom : nFrom;
        const int top = alongX ? nFrom : mFrom;
        const int right = alongX ? mTo : nTo;
        const int bottom = alongX ? nTo : mTo;
        Fill(left, top, right, bottom, colour);
    };
    const auto minorAt = [&](int m) {
        const int clamped = std::clamp(m, m1, m2);
        return n1 + MinorOffset(clamped - m1, n2 - n1, m2 - m1);
    };
    // Runs of steps on one minor coordinate become one rectangle.
    int runStart = from;
    int runMinor = minorAt(from);
    for (int m = from + 1; m <= to; ++m) {
        const int n = minorAt(m);
        if (n != runMinor) {
            fill(runStart, m - 1, runMinor);
            runStart = m;
            runMinor = n;
        }
    }
    fill(runStart, to, runMinor);
}

void Picture::Fill(int left, int top, int right, int bottom, Pixel colour)
{
    for (int y = top; y <= bottom; ++y) {
        const auto row = pixels_.begin() + static_cast<std::ptrdiff_t>(y) * width_;
        std::fill(row + left, row + right + 1, colour);
    }
    Touch(left, top, right, bottom);
}

void Picture::Touch(int left, int top, int right, int bottom) noexcept
{
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right + 1, width_);
    bottom = std::min(bottom + 1, height_);
    if (right <= left || bottom <= top) {
        return;
    }
    if (dirty_.Empty()) {
        dirty_ = {left, top, right, bottom};
        return;
    }
    dirty_ = {std::min(dirty_.left, left), std::min(dirty_.top, top), std::max(dirty_.right, right),
              std::max(dirty_.bottom, bottom)};
}

void Picture::Clear(Pixel colour)
{
    background_ = colour | 0xFF000000U;
    std::fill(pixels_.begin(), pixels_.end(), background_);
    dirty_ = {0, 0, width_, height_};
    record_.clear();
    recordKept_ = true;
}

void Picture::SetRatio(double ratio)
{
    ratio = UsableRatio(ratio);
    if (ratio == ratio_) {
        return;
    }
    const std::vector<Pixel> old = std::move(pixels_);
    const int oldWidth = width_;
    const int oldHeight = height_;
    Allocate(ratio);
    if (recordKept_) {
        for (const Line& line : record_) {
            Raster(line);
        }
    } else if (oldWidth > 0 && oldHeight > 0) {
        // Nearest pixel: the record was given up, the picture is still there.
        for (int y = 0; y < height_; ++y) {
            const auto sy = static_cast<std::size_t>(static_cast<std::int64_t>(y) * oldHeight / height_);
            for (int x = 0; x < width_; ++x) {
                const auto sx = static_cast<std::size_t>(static_cast<std::int64_t>(x) * oldWidth / width_);
                pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] =
                    old[sy * static_cast<std::size_t>(oldWidth) + sx];
            }
        }
    }
    dirty_ = {0, 0, width_, height_};
}

PixelRect Picture::TakeDirty() noexcept { return std::exchange(dirty_, PixelRect{}); }

PixelRect Picture::ToLogical(const PixelRect& device) const noexcept
{
    if (device.Empty()) {
        return {};
    }
    const auto down = [&](int v) { return static_cast<int>(std::floor(v / ratio_)); };
    const auto up = [&](int v) { return static_cast<int>(std::ceil(v / ratio_)); };
    const PixelRect logical{std::max(down(device.left), 0), std::max(down(device.top), 0),
                            std::min(up(device.right), logicalWidth_), std::min(up(device.bottom), logicalHeight_)};
    return logical.Empty() ? PixelRect{} : logical;
}

}  // namespace vantrel
