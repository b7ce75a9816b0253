#include "frontends/qt/Canvas.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
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
    return static_cast<int>(std::lround(std::clamp(pixels, -kLimitPixels, kLimitPixels)));
}

qreal UsableRatio(qreal ratio) noexcept { return std::isfinite(ratio) && ratio > 0.0 ? ratio : 1.0; }

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

QPen PenOf(QRgb colour) { return {QColor::fromRgba(colour), 1, Qt::SolidLine, Qt::SquareCap}; }

}  // namespace

int TwipsToPixels(double twips) noexcept { return RoundClamped(twips / kTwipsPerPixel); }

int TwipsToDevicePixels(double twips, double ratio) noexcept { return RoundClamped(twips / kTwipsPerPixel * ratio); }

int PenWidth(double ratio) noexcept
{
    return static_cast<int>(std::clamp(std::lround(UsableRatio(ratio)), 1L, static_cast<long>(kLimitPixels)));
}

Canvas::Canvas(QSize logicalSize, qreal devicePixelRatio, QColor background)
    : logicalSize_(logicalSize),
      ratio_(UsableRatio(devicePixelRatio)),
      pen_(PenWidth(ratio_)),
      penColour_(QColor(Qt::black).rgba()),
      background_(background.rgba())
{
    Allocate(ratio_);
}

Canvas::~Canvas() = default;

void Canvas::Allocate(qreal ratio)
{
    // The painter and the header address the old pixels: both go first.
    painter_.reset();
    device_ = QImage();
    ratio_ = ratio;
    pen_ = PenWidth(ratio);
    image_ = QImage((QSizeF(logicalSize_) * ratio).toSize(), QImage::Format_RGB32);
    image_.setDevicePixelRatio(ratio);
    image_.fill(background_);
    device_ = QImage(image_.bits(), image_.width(), image_.height(), image_.bytesPerLine(), image_.format());
    painter_ = std::make_unique<QPainter>(&device_);
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setCompositionMode(QPainter::CompositionMode_Source);
    painter_->setPen(PenOf(penColour_));
}

void Canvas::DrawLine(float x1, float y1, float x2, float y2, QColor colour)
{
    const Line line{x1, y1, x2, y2, colour.rgba()};
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

void Canvas::Raster(const Line& line)
{
    QPoint a(TwipsToDevicePixels(line.x1, ratio_), TwipsToDevicePixels(line.y1, ratio_));
    QPoint b(TwipsToDevicePixels(line.x2, ratio_), TwipsToDevicePixels(line.y2, ratio_));

    if (pen_ == 1) {
        // Qt's one-pixel line: the picture at 100 % stays what it has always been.
        // Always rasterise from the same end, so a line and its reverse are one set of pixels.
        if (std::make_pair(b.x(), b.y()) < std::make_pair(a.x(), a.y())) {
            std::swap(a, b);
        }
        // A star's twelve lines share one colour: keep the pen while it fits.
        if (line.colour != penColour_) {
            penColour_ = line.colour;
            painter_->setPen(PenOf(penColour_));
        }
        painter_->drawLine(a, b);
        Touch(QRect(a, b).normalized().adjusted(-1, -1, 1, 1));
        return;
    }

    // A wider pen: the line's pixels along its longer axis, each widened to
    // pen_ pixels across it, and the ends carried on by the pen's half-widths
    // (square ends). Every step along the line is then exactly pen_ pixels
    // wide, whatever its slope. Computed per step, not accumulated, so
    // clipping to the image cannot shift what is left.
    const int before = (pen_ - 1) / 2;
    const int after = pen_ - 1 - before;
    const bool alongX = std::abs(b.x() - a.x()) >= std::abs(b.y() - a.y());
    if (alongX ? b.x() < a.x() : b.y() < a.y()) {
        std::swap(a, b);
    }
    // Major axis m, minor axis n, in image coordinates.
    const int m1 = alongX ? a.x() : a.y();
    const int m2 = alongX ? b.x() : b.y();
    const int n1 = alongX ? a.y() : a.x();
    const int n2 = alongX ? b.y() : b.x();
    const int majorEnd = (alongX ? device_.width() : device_.height()) - 1;
    const int minorEnd = (alongX ? device_.height() : device_.width()) - 1;
    const int from = std::max(m1 - before, 0);
    const int to = std::min(m2 + after, majorEnd);
    if (from > to || std::max(n1, n2) + after < 0 || std::min(n1, n2) - before > minorEnd) {
        return;
    }
    const QRgb colour = line.colour | 0xFF000000U;
    const auto fill = [&](int mFrom, int mTo, int n) {
        const int nFrom = std::max(n - before, 0);
        const int nTo = std::min(n + after, minorEnd);
        if (nFrom > nTo) {
            return;
        }
        const QPoint first = alongX ? QPoint(mFrom, nFrom) : QPoint(nFrom, mFrom);
        const QPoint last = alongX ? QPoint(mTo, nTo) : QPoint(nTo, mTo);
        FillDevice(QRect(first, last), colour);
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

void Canvas::FillDevice(const QRect& rect, QRgb colour)
{
    const qsizetype stride = device_.bytesPerLine();
    uchar* const bits = device_.bits();
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        uchar* const row = bits + static_cast<qsizetype>(y) * stride;
        for (int x = rect.left(); x <= rect.right(); ++x) {
            std::memcpy(row + static_cast<qsizetype>(x) * static_cast<qsizetype>(sizeof(QRgb)), &colour, sizeof(QRgb));
        }
    }
    Touch(rect);
}

void Canvas::Touch(const QRect& rect) { dirty_ |= rect & device_.rect(); }

void Canvas::Clear(QColor colour)
{
    background_ = colour.rgba();
    painter_->fillRect(device_.rect(), QColor::fromRgba(background_));
    dirty_ = device_.rect();
    record_.clear();
    recordKept_ = true;
}

void Canvas::SetDevicePixelRatio(qreal ratio)
{
    ratio = UsableRatio(ratio);
    if (ratio == ratio_) {
        return;
    }
    const QImage old = image_;
    Allocate(ratio);
    if (recordKept_) {
        for (const Line& line : record_) {
            Raster(line);
        }
    } else {
        painter_->drawImage(device_.rect(), old);
    }
    dirty_ = device_.rect();
}

QRect Canvas::TakeDirty() noexcept
{
    const QRect device = std::exchange(dirty_, QRect());
    if (device.isEmpty()) {
        return {};
    }
    // Every logical pixel that shows any of the touched device pixels.
    const auto down = [&](int v) { return static_cast<int>(std::floor(v / ratio_)); };
    const auto up = [&](int v) { return static_cast<int>(std::ceil(v / ratio_)); };
    const QRect logical(QPoint(down(device.left()), down(device.top())),
                        QPoint(up(device.right() + 1) - 1, up(device.bottom() + 1) - 1));
    return logical & QRect(QPoint(0, 0), logicalSize_);
}

}  // namespace vantrel
