#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>

#include <cstddef>
#include <memory>
#include <vector>

class QPainter;

namespace vantrel {

inline constexpr int kTwipsPerPixel = 15;

// Twips to the nearest logical pixel (1000 twips is pixel 67, not 66).
[[nodiscard]] int TwipsToPixels(double twips) noexcept;

// Twips straight to the nearest device pixel at `ratio` device pixels per
// logical pixel, rounded once; at ratio 1 this is TwipsToPixels.
[[nodiscard]] int TwipsToDevicePixels(double twips, double ratio) noexcept;

// The pen's width in device pixels: one logical pixel, rounded, never less than one.
[[nodiscard]] int PenWidth(double ratio) noexcept;

// Lines the canvas remembers since the last clear: the most a show leaves
// between two clears, one fly-in over one finale.
inline constexpr std::size_t kMaxRecordedLines = 94008;

// The window's persistent picture. Lines go straight into an image that
// outlives covering and minimising; the widget only copies it to the screen.
//
// The image holds device pixels. Every line is also recorded (since the last
// clear) so that when the window's device pixel ratio changes the picture is
// drawn again at the new ratio, exactly as if it had been drawn there from the
// start. The record takes 20 bytes a line, at most kMaxRecordedLines of them:
// 1.88 MB once a second press has flown in over the first one's finale. Past
// the bound the record is dropped and a change of ratio rescales the pixels
// instead; the show itself never gets there.
class Canvas {
public:
    Canvas(QSize logicalSize, qreal devicePixelRatio, QColor background);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    Canvas(Canvas&&) = delete;
    Canvas& operator=(Canvas&&) = delete;

    // A line in twips, PenWidth() device pixels wide across its direction,
    // with square ends, no antialiasing, replacing the pixels it covers.
    // a->b and b->a light the same pixels, so redrawing a line in the
    // background colour restores it exactly. Parts outside are clipped.
    void DrawLine(float x1, float y1, float x2, float y2, QColor colour);
    void Clear(QColor colour);

    // Draws the picture again at another ratio; the whole area becomes dirty.
    void SetDevicePixelRatio(qreal ratio);

    // The device pixels, tagged with the ratio. Painting goes on in place:
    // copy() it to keep a picture.
    [[nodiscard]] const QImage& Image() const noexcept { return image_; }
    [[nodiscard]] QSize LogicalSize() const noexcept { return logicalSize_; }
    [[nodiscard]] qreal DevicePixelRatio() const noexcept { return ratio_; }
    // Lines recorded since the last clear; 0 once the record was dropped.
    [[nodiscard]] std::size_t RecordedLines() const noexcept { return record_.size(); }

    // The logical-pixel area changed since the last call.
    [[nodiscard]] QRect TakeDirty() noexcept;

private:
    struct Line {
        float x1;
        float y1;
        float x2;
        float y2;
        QRgb colour;
    };

    void Allocate(qreal ratio);
    void Raster(const Line& line);
    void FillDevice(const QRect& rect, QRgb colour);
    void Touch(const QRect& rect);

    QSize logicalSize_;
    qreal ratio_;
    int pen_;
    QImage image_;
    // A header on image_'s pixels without its ratio, so that the painter and
    // the wide pen both address device pixels.
    QImage device_;
    // Kept open for the canvas's life: a show draws ~94000 lines and opening a
    // painter for each would cost more than the line itself.
    std::unique_ptr<QPainter> painter_;
    QRgb penColour_;
    QRgb background_;
    std::vector<Line> record_;
    bool recordKept_ = true;
    QRect dirty_;  // device pixels
};

}  // namespace vantrel
