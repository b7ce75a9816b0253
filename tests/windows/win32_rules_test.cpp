#include "frontends/win32/Win32Rules.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace vantrel {
namespace {

// Between two steps of a show: the user's input goes, a close waits for the
// greeting, the window system's own messages are served.
TEST(Win32MessageFilter, DropsInputKeepsACloseServesTheSystem)
{
    for (const UINT input : std::initializer_list<UINT>{
             WM_LBUTTONDOWN,     WM_LBUTTONUP,   WM_LBUTTONDBLCLK, WM_RBUTTONDOWN,   WM_MOUSEMOVE,
             WM_MOUSEWHEEL,      WM_MOUSEHWHEEL, WM_XBUTTONDOWN,   WM_NCLBUTTONDOWN, WM_NCMOUSEMOVE,
             WM_NCXBUTTONDBLCLK, WM_KEYDOWN,     WM_KEYUP,         WM_CHAR,          WM_SYSKEYDOWN,
             WM_SYSCHAR,         WM_UNICHAR,     WM_HOTKEY,        WM_INPUT,         WM_MOUSELEAVE,
             WM_IME_CHAR,        WM_TOUCH,       0x0246U /* WM_POINTERDOWN */}) {
        EXPECT_EQ(Classify(input, 0), HeldMessage::Drop) << "message 0x" << std::hex << input;
    }
    // The window menu and keyboard moves run loops of the user's own input.
    for (const WPARAM command : std::initializer_list<WPARAM>{SC_KEYMENU, SC_MOUSEMENU, SC_MOVE, SC_SIZE}) {
        EXPECT_EQ(Classify(WM_SYSCOMMAND, command), HeldMessage::Drop) << command;
    }
    // The low four bits of a system command are the system's own.
    for (const WPARAM close : std::initializer_list<WPARAM>{SC_CLOSE, SC_CLOSE | 0x2}) {
        EXPECT_EQ(Classify(WM_SYSCOMMAND, close), HeldMessage::KeepClose);
    }
    EXPECT_EQ(Classify(WM_CLOSE, 0), HeldMessage::KeepClose);
    for (const UINT system : std::initializer_list<UINT>{WM_PAINT, WM_NCPAINT, WM_TIMER, WM_NULL, WM_DPICHANGED,
                                                         WM_SETTINGCHANGE, WM_USER}) {
        EXPECT_EQ(Classify(system, 0), HeldMessage::Serve) << "message 0x" << std::hex << system;
    }
    EXPECT_EQ(Classify(WM_SYSCOMMAND, SC_MINIMIZE), HeldMessage::Serve);
    EXPECT_EQ(Classify(WM_SYSCOMMAND, SC_RESTORE), HeldMessage::Serve);
}

TEST(Win32Layout, FollowsTheDpiAsThePictureRounds)
{
    const DeviceLayout normal = LayoutAt(96);
    EXPECT_EQ(normal.clientWidth, 715);
    EXPECT_EQ(normal.clientHeight, 487);
    // Where every front end has the controls at 100 %.
    EXPECT_EQ(normal.button, (PixelRect{288, 416, 433, 457}));
    EXPECT_EQ(normal.label, (PixelRect{624, 432, 705, 465}));
    EXPECT_EQ(normal.buttonIcon, 24);

    const DeviceLayout large = LayoutAt(144);
    EXPECT_EQ(large.clientWidth, 1073);
    EXPECT_EQ(large.clientHeight, 731);
    EXPECT_EQ(large.button, (PixelRect{432, 624, 650, 686}));
    EXPECT_EQ(large.buttonIcon, 36);

    const DeviceLayout twice = LayoutAt(192);
    EXPECT_EQ(twice.button, (PixelRect{576, 832, 866, 914}));
    EXPECT_EQ(twice.clientWidth, 1430);

    // A DPI the system failed to give counts as 96.
    EXPECT_EQ(LayoutAt(0).button, normal.button);
    // The controls stay inside the client area at every common scale.
    for (const UINT dpi : {96U, 120U, 144U, 168U, 192U, 240U, 288U}) {
        const DeviceLayout at = LayoutAt(dpi);
        EXPECT_LE(at.label.right, at.clientWidth) << dpi;
        EXPECT_LE(at.label.bottom, at.clientHeight) << dpi;
        EXPECT_LE(at.button.bottom, at.clientHeight) << dpi;
    }
}

}  // namespace
}  // namespace vantrel
