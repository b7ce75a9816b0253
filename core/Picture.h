#pragma once

#include "core/Runtime.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantrel {

inline constexpr int kTwipsPerPixel = 15;

// The client area in twips, and in logical pixels at 96 dots per inch.
inline constexpr int kClientWidthTwips = 10725;
inline constexpr int kClientHeightTwips = 7305;
inline constexpr int kClientWidth = kClientWidthTwips / kTwipsPerPixel;    // 715
inline constexpr int kClientHeight = kClientHeightTwips / kTwipsPerPixel;  // 487

// Twips to the nearest logical pixel (1000 twips is pixel 67, not 66).
[[nodiscard]] int TwipsToPixels(double twips) noexcept;

// Twips straight to the nearest device pixel at `ratio` device pixels per
// logical pixel, rounded once; at ratio 1 this is TwipsToPixels.
[[nodiscard]] int TwipsToDevicePixels(double twips, double ratio) noexcept;

// A logical length in device pixels at `ratio`, halves rounded up
// (715 x 487 is 1073 x 731 at 1.5).
[[nodiscard]] int LogicalToDevice(int logical, double ratio) noexcept;

// The pen's width in device pixels: one logical pixel, rounded, never less than one.
[[nodiscard]] int PenWidth(double ratio) noexcept;

// A finite ratio above zero; anything else counts as 1.
[[nodiscard]] double UsableRatio(double ratio) noexcept;

// A device pixel: 0xAARRGGBB in a 32-bit word, alpha always 0xFF. In memory
// on a little-endian machine that is B, G, R, A: what a 32-bit Windows DIB
// and Qt's RGB32 image hold.
using Pixel = std::uint32_t;
inline constexpr Pixel kBlackPixel = 0xFF000000U;

// A colour value composed by Rgb (red + 256 * green + 65536 * blue) as a pixel.
// System colours are the front end's to resolve; here they are their low bits.
[[nodiscard]] constexpr Pixel PixelOf(Colour colour) noexcept
{
    return 0xFF000000U | ((colour & 0xFFU) << 16U) | (colour & 0xFF00U) | ((colour >> 16U) & 0xFFU);
}

// A colour value as a pixel where the platform has no system colours of its
// own (the trace tool, a browser): system colours from the classic standard
// desktop scheme, menu text black.
[[nodiscard]] Pixel StandardPixelOf(Colour colour) noexcept;

// A rectangle of device pixels, right and bottom exclusive.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    [[nodiscard]] bool Empty() const noexcept { return right <= left || bottom <= top; }
    [[nodiscard]] int Width() const noexcept { return right - left; }
    [[nodiscard]] int Height() const noexcept { return bottom - top; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Lines the picture remembers since the last clear: the most a show leaves
// between two clears, one fly-in over one finale.
inline constexpr std::size_t kMaxRecordedLines = 94008;

// The window's picture in device pixels: every front end only presents these.
//
// Lines go straight into a 32-bit pixel buffer of the client area, which
// outlives covering and minimising. A line is mapped from twips to device
// pixels once, drawn with a pen of PenWidth() device pixels with square ends
// and no antialiasing, and replaces the pixels it covers; a->b and b->a light
// the same pixels, so drawing a line again in the background colour erases it
// exactly. A one-pixel pen follows the classic aliased cosmetic-line rules
// (both end points lit, the minor axis stepped in 16.16 fixed point), so the
// picture at 100 % is the one the program has always shown.
//
// Every line is also recorded since the last clear, so that when the device
// pixel ratio changes the picture is drawn again at the new ratio exactly as
// if it had been drawn there from the start. The record takes 20 bytes a line,
// at most kMaxRecordedLines of them (1.88 MB once a second press has flown in
// over the first one's finale). Past the bound the record is dropped and a
// change of ratio rescales the pixels instead; the show never gets there.
class Picture {
public:
    Picture(int logicalWidth, int logicalHeight, double ratio, Pixel background);

    void DrawLine(float x1, float y1, float x2, float y2, Pixel colour);
    void Clear(Pixel colour);
    // Draws the picture again at another ratio; the whole area becomes dirty.
    void SetRatio(double ratio);

    // Device pixels, row after row with no padding (stride = Width()).
    // Drawing goes on in place: copy them to keep a picture.
    [[nodiscard]] const Pixel* Pixels() const noexcept { return pixels_.data(); }
    [[nodiscard]] int Width() const noexcept { return width_; }
    [[nodiscard]] int Height() const noexcept { return height_; }
    [[nodiscard]] int LogicalWidth() const noexcept { return logicalWidth_; }
    [[nodiscard]] int LogicalHeight() const noexcept { return logicalHeight_; }
    [[nodiscard]] double Ratio() const noexcept { return ratio_; }
    [[nodiscard]] int Pen() const noexcept { return pen_; }
    [[nodiscard]] Pixel At(int x, int y) const noexcept
    {
        return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
    }
    // Lines recorded since the last clear; 0 once the record was dropped.
    [[nodiscard]] std::size_t RecordedLines() const noexcept { return record_.size(); }

    // The device pixels changed since the last call (empty if none).
    [[nodiscard]] PixelRect TakeDirty() noexcept;
    // Every logical pixel that shows any of `device`, within the client area.
    [[nodiscard]] PixelRect ToLogical(const PixelRect& device) const noexcept;

private:
    struct Line {
        float x1;
        float y1;
        float x2;
        float y2;
        Pixel colour;
    };

    void Allocate(double ratio);
    void Raster(const Line& line);
    void RasterThin(int ax, int ay, int bx, int by, Pixel colour);
    void RasterWide(int ax, int ay, int bx, int by, Pixel colour);
    void Fill(int left, int top, int right, int bottom, Pixel colour);  // inclusive, within the buffer
    void Touch(int left, int top, int right, int bottom) noexcept;      // inclusive, clipped here

    int logicalWidth_;
    int logicalHeight_;
    double ratio_;
    int pen_ = 1;
    int width_ = 0;
    int height_ = 0;
    Pixel background_;
    std::vector<Pixel> pixels_;
    std::vector<Line> record_;
    bool recordKept_ = true;
    PixelRect dirty_;
};

}  // namespace vantrel
