#pragma once

#include "core/Picture.h"

#include <QImage>

namespace vantrel {

// The picture's device pixels seen as a QImage, not copied: valid until the
// picture changes its ratio. copy() it to keep a picture.
[[nodiscard]] inline QImage ImageOf(const Picture& picture)
{
    // QImage takes bytes; the words are 0xAARRGGBB, which is what Format_RGB32 holds.
    const auto* bytes = reinterpret_cast<const uchar*>(picture.Pixels());  // NOLINT(*-reinterpret-cast)
    const auto stride = static_cast<qsizetype>(picture.Width()) * static_cast<qsizetype>(sizeof(Pixel));
    QImage image(bytes, picture.Width(), picture.Height(), stride, QImage::Format_RGB32);
    image.setDevicePixelRatio(picture.Ratio());
    return image;
}

// A Qt colour as a pixel of the picture.
[[nodiscard]] inline Pixel ToPixel(const QColor& colour) { return colour.rgba() | 0xFF000000U; }

}  // namespace vantrel
