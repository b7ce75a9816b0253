#pragma once

#include "core/Runtime.h"

#include <QColor>
#include <QPalette>

namespace vantrel {

// A colour value as Qt sees it: an Rgb value directly, a system colour
// (0x80000000 + index) through the palette of the widget that shows it.
[[nodiscard]] QColor ToQColor(Colour colour, const QPalette& palette);

}  // namespace vantrel
