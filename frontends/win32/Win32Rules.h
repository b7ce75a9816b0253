#pragma once

#include "core/Picture.h"

#include <windows.h>

namespace vantrel {

// What the pass between two steps of a show does with a queued message.
enum class HeldMessage {
    Serve,      // the window system's own: paint, timers, a minimise...
    Drop,       // the user's: mouse, keyboard, and what they start
    KeepClose,  // a close of the window: done once the greeting is answered
};

[[nodiscard]] HeldMessage Classify(UINT message, WPARAM wParam) noexcept;

// Device pixels per logical pixel at `dpi` dots per inch (96 is 1).
[[nodiscard]] double RatioOfDpi(UINT dpi) noexcept;

// The window's client area and controls in device pixels at one DPI,
// rounded as the picture rounds.
struct DeviceLayout {
    int clientWidth = 0;
    int clientHeight = 0;
    PixelRect button;
    PixelRect label;
    int buttonIcon = 0;  // the icon beside the button's text, square
};

[[nodiscard]] DeviceLayout LayoutAt(UINT dpi) noexcept;

}  // namespace vantrel
