#include "frontends/win32/Win32Rules.h"

#include "core/WindowLayout.h"

namespace vantrel {
namespace {

constexpr UINT kLogicalDpi = 96;
// Qt's button shows its icon at 24 logical px; so does this one.
constexpr int kButtonIconLogical = 24;

// Touch, pen and pointer messages (WM_TOUCH up to the last WM_POINTER one):
// all the user's. Not every SDK names them.
constexpr UINT kTouchFirst = 0x0240;
constexpr UINT kPointerLast = 0x0257;

PixelRect ToDevice(const TwipRect& twips, double ratio) noexcept
{
    // Edges, not sizes, are rounded: neighbouring controls stay neighbours at any ratio.
    return {TwipsToDevicePixels(twips.left, ratio), TwipsToDevicePixels(twips.top, ratio),
            TwipsToDevicePixels(twips.left + twips.width, ratio), TwipsToDevicePixels(twips.top + twips.height, ratio)};
}

}  // namespace

HeldMessage Classify(UINT message, WPARAM wParam) noexcept
{
    if ((message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
        (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK) ||
        (message >= WM_IME_STARTCOMPOSITION && message <= WM_IME_KEYLAST) ||
        (message >= kTouchFirst && message <= kPointerLast)) {
        return HeldMessage::Drop;
    }
    switch (message) {
    case WM_INPUT:
    case WM_HOTKEY:
    case WM_GESTURE:
    case WM_IME_CHAR:
    case WM_IME_KEYDOWN:
    case WM_IME_KEYUP:
    case WM_MOUSEHOVER:
    case WM_MOUSELEAVE:
    case WM_NCMOUSEHOVER:
    case WM_NCMOUSELEAVE:
    case WM_APPCOMMAND:
    case WM_CONTEXTMENU:
        return HeldMessage::Drop;
    case WM_CLOSE:
        return HeldMessage::KeepClose;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0U) {
        case SC_CLOSE:
            return HeldMessage::KeepClose;
        // The window menu, and moving or sizing by keyboard: each runs a loop of the user's input.
        case SC_KEYMENU:
        case SC_MOUSEMENU:
        case SC_MOVE:
        case SC_SIZE:
            return HeldMessage::Drop;
        default:
            return HeldMessage::Serve;
        }
    default:
        return HeldMessage::Serve;
    }
}

double RatioOfDpi(UINT dpi) noexcept { return UsableRatio(static_cast<double>(dpi) / kLogicalDpi); }

DeviceLayout LayoutAt(UINT dpi) noexcept
{
    const double ratio = RatioOfDpi(dpi);
    return {.clientWidth = LogicalToDevice(kClientWidth, ratio),
            .clientHeight = LogicalToDevice(kClientHeight, ratio),
            .button = ToDevice(kButtonTwips, ratio),
            .label = ToDevice(kLabelTwips, ratio),
            .buttonIcon = LogicalToDevice(kButtonIconLogical, ratio)};
}

}  // namespace vantrel
