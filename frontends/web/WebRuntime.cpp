#include "frontends/web/WebRuntime.h"

#include "core/Errors.h"
#include "core/WindowLayout.h"
#include "core/frmLines.h"
#include "platform/SystemPacerClock.h"

#include <emscripten.h>

#include <cstdio>
#include <exception>
#include <string_view>

// The page's side (shell.html, object Vantrel), in JavaScript: clang-format
// would break its operators. Called directly, never through ccall: a show may
// be asleep in the module while these run.
// clang-format off

// The pixels as the page reads them: a fresh view each time, since the
// module's memory may grow.
EM_JS(void, vantrel_page_attach, (), { Vantrel.attach(function () { return HEAPU32; }); });

EM_JS(void, vantrel_page_present,
      (const void* pixels, int width, int height, int left, int top, int right, int bottom),
      { Vantrel.present(pixels >>> 2, width, height, left, top, right, bottom); });

// Resolves when the dialog is closed (OK, Enter or Escape).
EM_ASYNC_JS(void, vantrel_page_box,
            (const char* title, int titleLength, const char* prompt, int promptLength, int buttons),
            { await Vantrel.showBox(UTF8ToString(title, titleLength), UTF8ToString(prompt, promptLength), buttons); });

EM_JS(void, vantrel_page_busy, (int busy), { Vantrel.busy(busy !== 0); });

EM_JS(void, vantrel_page_end, (), { Vantrel.end(); });

// clang-format on

namespace vantrel {
namespace {

void ShowBox(std::string_view prompt, int buttons, std::string_view title)
{
    vantrel_page_box(title.data(), static_cast<int>(title.size()), prompt.data(), static_cast<int>(prompt.size()),
                     buttons);
}

constexpr int kMsgBoxCritical = 16;

// No spinning before a deadline: the browser's clock wakes on schedule as
// far as the pacer can tell (platform/PacerClockWeb.cpp), so there is
// nothing left to spin away but the page's time.
Pacer::Config Pacing()
{
    Pacer::Config config;
    config.spin = Pacer::Duration::zero();
    return config;
}

}  // namespace

WebRuntime::WebRuntime(std::optional<std::uint32_t> seed, double ratio)
    : clock_(MakeSystemPacerClock()),
      pacer_(*clock_, Pacing()),
      random_(seed),
      picture_(kClientWidth, kClientHeight, ratio, StandardPixelOf(0)),
      caption_(kLabelText)
{
    vantrel_page_attach();
    picture_.Clear(StandardPixelOf(backColor_));
    Flush();
}

WebRuntime::~WebRuntime() = default;

void WebRuntime::Line(float x1, float y1, float x2, float y2, Colour colour)
{
    // The previous pause ends when the next step starts to draw.
    pausing_ = false;
    pacer_.Settle();
    if (failOnLine_ > 0 && --failOnLine_ == 0) {
        RaiseFailure("The page reported a failure.");
    }
    picture_.DrawLine(x1, y1, x2, y2, StandardPixelOf(colour));
}

void WebRuntime::Cls()
{
    pausing_ = false;
    pacer_.Settle();
    picture_.Clear(StandardPixelOf(backColor_));
    Flush();
}

Colour WebRuntime::BackColor() { return backColor_; }

void WebRuntime::Caption(std::string_view text)
{
    // A pause writes the same caption a thousand times with nothing drawn in
    // between: its first round hands the step to the page, the others are
    // only the pacer's rounds. The label is hidden: its text is kept, not shown.
    if (!pausing_) {
        pausing_ = true;
        Flush();
    }
    if (caption_ != text) {
        caption_ = text;
    }
    pacer_.Round();
}

void WebRuntime::Randomize() { random_.Randomize(); }

float WebRuntime::RandomNext() { return random_.Next(); }

void WebRuntime::ShowMessageBox(std::string_view prompt, int buttons, std::string_view title)
{
    pausing_ = false;
    Flush();
    pacer_.Settle();
    ShowBox(prompt, buttons, title);
    pacer_.Restart();
}

bool WebRuntime::Dispatch(const std::function<void()>& handler)
{
    // The page drops presses while a show runs; this is the last word.
    if (dispatching_ || ended_) {
        return !ended_;
    }
    dispatching_ = true;
    vantrel_page_busy(1);
    std::string message;
    try {
        handler();
    } catch (const std::exception& error) {  // run-time errors, and anything the library throws
        message = error.what();
        if (message.empty()) {
            message = "unknown error";
        }
    }
    pausing_ = false;
    pacer_.Restart();
    if (message.empty()) {
        dispatching_ = false;
        vantrel_page_busy(0);
        return true;
    }
    Flush();
    std::fprintf(stderr, "vantrel: run-time error: %s\n", message.c_str());
    ShowBox("Vantrel stopped because of a run-time error:\n\n" + message, kMsgBoxCritical, kProductName);
    ended_ = true;
    dispatching_ = false;
    vantrel_page_end();
    return false;
}

void WebRuntime::SetRatio(double ratio)
{
    if (UsableRatio(ratio) == picture_.Ratio()) {
        return;
    }
    picture_.SetRatio(ratio);
    Flush();
}

void WebRuntime::Flush()
{
    const PixelRect dirty = picture_.TakeDirty();
    if (dirty.Empty()) {
        return;
    }
    vantrel_page_present(picture_.Pixels(), picture_.Width(), picture_.Height(), dirty.left, dirty.top, dirty.right,
                         dirty.bottom);
}

}  // namespace vantrel
