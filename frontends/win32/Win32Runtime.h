#pragma once

#include "core/Pacer.h"
#include "core/Picture.h"
#include "core/RandomSource.h"
#include "core/Runtime.h"

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vantrel {

class WindowAnnotation;

// The runtime on the Windows API, and the window frmLines it draws in.
//
// The show never returns to the message loop. The picture is the core's, in
// device pixels; whatever a step drew goes to the window at the start of the
// pause after it (the first caption write), at a clear and before a message
// box: one copy of the changed rectangle per animation step. WM_PAINT copies
// from the same pixels.
//
// At the start of each pause one pass over the message queue serves the
// window system (paint, timers, a minimise or a change of DPI) and holds the
// user back: mouse and keyboard input is dropped, and a close is kept until
// the greeting has been answered.
class Win32Runtime final : public Runtime {
public:
    struct Options {
        std::optional<std::uint32_t> seed;
        // Prints the time from a press to its greeting on stdout (timing runs).
        bool reportPressToGreeting = false;
    };

    Win32Runtime(HINSTANCE instance, Options options);
    ~Win32Runtime() override;
    Win32Runtime(const Win32Runtime&) = delete;
    Win32Runtime& operator=(const Win32Runtime&) = delete;
    Win32Runtime(Win32Runtime&&) = delete;
    Win32Runtime& operator=(Win32Runtime&&) = delete;

    // Makes the window and its controls, hidden. False when the system refused.
    [[nodiscard]] bool Create();
    // Shows the window with the button focused.
    void Show(int showCommand);
    // Runs the message loop until the window is gone; returns the exit status.
    [[nodiscard]] int Run();

    // What a press of the button runs.
    void SetClickHandler(std::function<void()> handler) { click_ = std::move(handler); }

    // Runs an event handler. A run-time error shows its box and ends the
    // program with status 1; returns false then.
    bool Dispatch(const std::function<void()>& handler);

    void Line(float x1, float y1, float x2, float y2, Colour colour) override;
    void Cls() override;
    [[nodiscard]] Colour BackColor() override { return backColor_; }
    void Caption(std::string_view text) override;
    void Randomize() override { random_.Randomize(); }
    [[nodiscard]] float RandomNext() override { return random_.Next(); }
    void ShowMessageBox(std::string_view prompt, int buttons, std::string_view title) override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    void Flush();
    void Paint(HDC dc, const PixelRect& area) const;
    void ServeWindowSystem();
    // Sizes the window, its controls, font, icons and picture for `dpi`.
    void ApplyDpi(UINT dpi, const RECT* suggested);
    [[nodiscard]] SIZE WindowSizeAt(UINT dpi) const;
    [[nodiscard]] Pixel PixelOfColour(Colour colour) const;

    HINSTANCE instance_;
    Options options_;
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
    HWND button_ = nullptr;
    HWND label_ = nullptr;
    HFONT font_ = nullptr;
    HICON buttonIcon_ = nullptr;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    std::unique_ptr<WindowAnnotation> annotation_;

    Picture picture_;
    std::unique_ptr<PacerClock> clock_;
    Pacer pacer_;
    RandomSource random_;
    Colour backColor_ = 0;
    std::string caption_;
    std::function<void()> click_;
    std::chrono::steady_clock::time_point pressed_{};

    bool pausing_ = false;  // the last call was a round of a pause
    bool dispatching_ = false;
    bool closeRequested_ = false;
    std::optional<int> quit_;  // a WM_QUIT taken from the queue mid-show
    int exitStatus_ = 0;
};

// Start routine: the window frmLines, its load handler, then the message
// loop until the window is closed. Returns the exit status.
[[nodiscard]] int RunProgram(HINSTANCE instance, int showCommand, const Win32Runtime::Options& options);

}  // namespace vantrel
