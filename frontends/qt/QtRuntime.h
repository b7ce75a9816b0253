#pragma once

#include "core/Pacer.h"
#include "core/Picture.h"
#include "core/RandomSource.h"
#include "core/Runtime.h"
#include "frontends/qt/WindowWatch.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QObject;

namespace vantrel {

class FormWidget;

// The runtime on Qt Widgets: draws into the window's canvas, writes its label,
// shows message boxes and paces the show's pauses.
//
// The show never returns to the event loop, so whatever it draws is pushed to
// the screen with a synchronous repaint at the start of each pause (the first
// caption write after drawing), at a clear and before a message box: one
// repaint per animation step, not one per line.
//
// At the start of each pause the binding also lets the window system through
// once: exposes repaint from the canvas, pings and accessibility queries are
// answered, a lost display ends the program. The user is held back: mouse,
// keyboard, wheel and touch input during a show is dropped, and a close
// request is kept until the greeting has been answered.
class QtRuntime final : public Runtime {
public:
    struct Options {
        Pacer::Config pacing{};
        std::optional<std::uint32_t> seed;
    };

    explicit QtRuntime(FormWidget& form) : QtRuntime(form, Options{}) {}
    QtRuntime(FormWidget& form, Options options);
    ~QtRuntime() override;
    QtRuntime(const QtRuntime&) = delete;
    QtRuntime& operator=(const QtRuntime&) = delete;
    QtRuntime(QtRuntime&&) = delete;
    QtRuntime& operator=(QtRuntime&&) = delete;

    void Line(float x1, float y1, float x2, float y2, Colour colour) override;
    void Cls() override;
    [[nodiscard]] Colour BackColor() override;
    void Caption(std::string_view text) override;
    void Randomize() override;
    [[nodiscard]] float RandomNext() override;
    void ShowMessageBox(std::string_view prompt, int buttons, std::string_view title) override;

    // Runs an event handler. A run-time error stops the program as the user
    // expects: a message box naming the error, then the event loop ends with
    // status 1. Returns false when the handler ended in an error.
    bool Dispatch(const std::function<void()>& handler);

    // Pushes whatever was drawn since the last flush to the screen now.
    void Flush();

    // A close request came while a show ran; it is honoured when the show ends.
    [[nodiscard]] bool CloseRequested() const noexcept { return closeRequested_; }

private:
    [[nodiscard]] Pixel PixelFor(Colour colour) const;
    // A pause's first round, or a write of another text.
    void StartPause(std::string_view text);
    // Between two steps: window-system events in, user input out.
    void ServeWindowSystem();
    void RequestClose() noexcept { closeRequested_ = true; }
    void WindowDestroyed();

    FormWidget& form_;
    std::unique_ptr<PacerClock> clock_;
    Pacer pacer_;
    RandomSource random_;
    Colour backColor_ = 0;
    std::string caption_;
    bool pausing_ = false;  // the last call was a round of a pause
    bool dispatching_ = false;
    bool closeRequested_ = false;
    bool windowGone_ = false;
    std::chrono::steady_clock::time_point lastServed_{};
    std::unique_ptr<QObject> userHold_;
    std::unique_ptr<WindowWatch> watch_;
};

class frmLines;

// Ways for a test build to plant a fault in the running program; the program
// itself starts with none.
struct StartHooks {
    std::function<void(frmLines&)> afterLoad;
    std::function<void(frmLines&)> beforeClick;
};

// Start routine: creates the window frmLines, runs its load handler, shows it
// and runs the event loop until it is closed. Returns the exit status. The
// program has no command line: arguments are ignored, Qt's own included.
int RunProgram(int argc, char** argv, const StartHooks& hooks = {});

}  // namespace vantrel
