#include "window/Canvas.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <utility>

namespace vantrel {
namespace {

// Far beyond any window, small enough for an int; keeps wild inputs clipped, not wrapped.
constexpr double kLimitPixels = 1.0e6;

}  // namespace

int TwipsToPixels(double twips) noexcept
{
    if (std::isnan(twips)) {
        return 0;
    }
    const double pixels = std::clamp(twips / kTwipsPerPixel, -kLimitPixels, kLimitPixels);
    return static_cast<int>(std::lround(pixels));
}

Canvas::Canvas(QSize logicalSize, qreal devicePixelRatio, QColor background)
    : logicalSize_(logicalSize), image_((QSizeF(logicalSize) * devicePixelRatio).toSize(), QImage::Format_RGB32)
{
    image_.setDevicePixelRatio(devicePixelRatio);
    image_.fill(background);
    painter_ = std::make_unique<QPainter>(&image_);
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setCompositionMode(QPainter::CompositionMode_Source);
    painter_->setPen(QPen(penColour_, 1, Qt::SolidLine, Qt::SquareCap));
}

Canvas::~Canvas() = default;

void Canvas::DrawLine(float x1, float y1, float x2, float y2, QColor colour)
{
    QPoint a(TwipsToPixels(x1), TwipsToPixels(y1));
    QPoint b(TwipsToPixels(x2), TwipsToPixels(y2));
    // Always rasterise from the same end, so a line and its reverse are one set of pixels.
    if (std::make_pair(b.x(), b.y()) < std::make_pair(a.x(), a.y())) {
        std::swap(a, b);
    }
    // A star's twelve lines share one colour: keep the pen while it fits.
    if (colour != penColour_) {
        penColour_ = colour;
        painter_->setPen(QPen(colour, 1, Qt::SolidLine, Qt::SquareCap));
    }
    painter_->drawLine(a, b);
    const QRect touched = QRect(a, b).normalized().adjusted(-1, -1, 1, 1);
    dirty_ |= touched & QRect(QPoint(0, 0), logicalSize_);
}

void Canvas::Clear(QColor colour)
{
    painter_->fillRect(QRect(QPoint(0, 0), logicalSize_), colour);
    dirty_ = QRect(QPoint(0, 0), logicalSize_);
}

QRect Canvas::TakeDirty() noexcept { return std::exchange(dirty_, QRect()); }

}  // namespace vantrel
