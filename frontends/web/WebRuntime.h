#pragma once

#include "core/Pacer.h"
#include "core/Picture.h"
#include "core/RandomSource.h"
#include "core/Runtime.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vantrel {

// The runtime in a browser page (shell.html): draws into the core's picture,
// which the page presents on its canvas, and shows message boxes as the
// page's dialog.
//
// The show still blocks: each wait of the pacer gives the page back to the
// browser (Asyncify), which is when it presents what was drawn (at most once
// per displayed frame) and drops the user's input, as a desktop window does
// between two steps. The page holds its input while a show runs, except
// while the greeting is up.
class WebRuntime final : public Runtime {
public:
    WebRuntime(std::optional<std::uint32_t> seed, double ratio);
    ~WebRuntime() override;
    WebRuntime(const WebRuntime&) = delete;
    WebRuntime& operator=(const WebRuntime&) = delete;
    WebRuntime(WebRuntime&&) = delete;
    WebRuntime& operator=(WebRuntime&&) = delete;

    void Line(float x1, float y1, float x2, float y2, Colour colour) override;
    void Cls() override;
    [[nodiscard]] Colour BackColor() override;
    void Caption(std::string_view text) override;
    void Randomize() override;
    [[nodiscard]] float RandomNext() override;
    void ShowMessageBox(std::string_view prompt, int buttons, std::string_view title) override;

    // Runs an event handler. A run-time error ends the page as it ends the
    // program: its box, then no further presses. False once ended so.
    bool Dispatch(const std::function<void()>& handler);
    [[nodiscard]] bool Ended() const noexcept { return ended_; }
    [[nodiscard]] bool Dispatching() const noexcept { return dispatching_; }

    // The page's device pixels per logical pixel changed (zoom, another
    // monitor, a narrow viewport): the picture is drawn again from its record.
    void SetRatio(double ratio);

    // Hands what was drawn since the last call to the page, which presents it
    // with the next displayed frame.
    void Flush();

    // Test builds: the nth line drawn from now on (counted from 1) fails.
    void FailOnLine(int nth) noexcept { failOnLine_ = nth; }

private:
    std::unique_ptr<PacerClock> clock_;
    Pacer pacer_;
    RandomSource random_;
    Picture picture_;
    Colour backColor_ = 0;
    std::string caption_;
    bool pausing_ = false;  // the last call was a round of a pause
    bool dispatching_ = false;
    bool ended_ = false;
    int failOnLine_ = 0;
};

}  // namespace vantrel
