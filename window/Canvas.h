#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>

#include <memory>

class QPainter;

namespace vantrel {

inline constexpr int kTwipsPerPixel = 15;

// Twips to the nearest logical pixel (1000 twips is pixel 67, not 66).
[[nodiscard]] int TwipsToPixels(double twips) noexcept;

// The window's persistent picture. Lines go straight into an image that
// outlives covering and minimising; the widget only copies it to the screen.
class Canvas {
public:
    Canvas(QSize logicalSize, qreal devicePixelRatio, QColor background);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    Canvas(Canvas&&) = delete;
    Canvas& operator=(Canvas&&) = delete;

    // A 1-pixel line in twips, no antialiasing, replacing the pixels it covers.
    // a->b and b->a light the same pixels, so redrawing a line in the
    // background colour restores it exactly. Parts outside are clipped.
    void DrawLine(float x1, float y1, float x2, float y2, QColor colour);
    void Clear(QColor colour);

    [[nodiscard]] const QImage& Image() const noexcept { return image_; }
    [[nodiscard]] QSize LogicalSize() const noexcept { return logicalSize_; }

    // The logical-pixel area changed since the last call.
    [[nodiscard]] QRect TakeDirty() noexcept;

private:
    QSize logicalSize_;
    QImage image_;
    // Kept open for the canvas's life: a show draws ~94000 lines and opening a
    // painter for each would cost more than the line itself.
    std::unique_ptr<QPainter> painter_;
    QColor penColour_{Qt::black};
    QRect dirty_;
};

}  // namespace vantrel
