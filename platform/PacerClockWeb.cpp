#include "platform/SystemPacerClock.h"

#include <emscripten.h>

#include <algorithm>
#include <cstdint>

// The page's side, in JavaScript (clang-format would break its operators).
// clang-format off

// A page in a background tab gets its timers woken about once a second.
EM_JS(int, vantrel_page_hidden, (), { return document.hidden ? 1 : 0; });

// A worker's timers are not held back with the hidden page: it wakes the page
// with a message. The page's own timer stands by, should the worker fail.
EM_ASYNC_JS(void, vantrel_sleep_hidden, (int ms), {
    var clock = Module.vantrelClock || (Module.vantrelClock = { worker: null, wait: 0, woken: null });
    if (clock.worker === null) {
        try {
            var code = "onmessage = function (e) { setTimeout(function () { postMessage(e.data[0]); }, e.data[1]); };";
            clock.worker = new Worker("data:text/javascript," + encodeURIComponent(code));
            clock.worker.onmessage = function (e) {
                if (e.data === clock.wait && clock.woken) {
                    clock.woken();
                }
            };
            clock.worker.onerror = function () { clock.worker = false; };
        } catch (e) {
            clock.worker = false;
        }
    }
    await new Promise(function (resolve) {
        clock.wait += 1;
        clock.woken = resolve;
        setTimeout(resolve, ms);
        if (clock.worker) {
            clock.worker.postMessage([clock.wait, ms]);
        }
    });
    clock.woken = null;
});

// clang-format on

namespace vantrel {
namespace {

// The browser's clock, waiting with emscripten_sleep: the show gives the page
// back to the browser for every wait, so the blocking show runs as written.
//
// A browser wakes a timer late whenever it is busy elsewhere, and a hidden
// page only about once a second. Rather than let the pacer start afresh
// after each such wake (a hidden page's show would take an hour), the time
// overslept is owed: the clock reports time as if the wake had come on
// schedule, and the waits that follow return at once until the debt is paid.
// The steps in between are drawn into the picture and presented with the
// next frame (a hidden page shows none), so the greeting comes on time. Only
// a visible page that slept far longer than asked (a suspended machine) is
// let off: the pacer then starts afresh, as it does on the desktop.
class BrowserPacerClock final : public PacerClock {
public:
    [[nodiscard]] TimePoint Now() override { return std::chrono::steady_clock::now() - owed_; }

    void SleepUntil(TimePoint when) override
    {
        const auto wait = when - Now();
        if (wait <= Duration::zero()) {
            return;
        }
        if (owed_ >= wait) {
            owed_ -= wait;
            return;
        }
        const auto realWait = wait - owed_;
        const auto target = std::chrono::steady_clock::now() + realWait;
        const bool hidden = vantrel_page_hidden() != 0;
        // Whole milliseconds, rounded up: a wake early by a fraction would be
        // spun away by the pacer; one late by it is carried over.
        const auto ms = std::max<std::int64_t>(std::chrono::ceil<std::chrono::milliseconds>(realWait).count(), 1);
        if (hidden) {
            // Nobody watches: wake less often and catch up on the steps owed.
            vantrel_sleep_hidden(static_cast<int>(std::max<std::int64_t>(ms, kHiddenWakeMs)));
        } else {
            emscripten_sleep(static_cast<unsigned>(ms));
        }
        const auto late = std::chrono::steady_clock::now() - target;
        const bool seen = !hidden && vantrel_page_hidden() == 0;
        owed_ = late < Duration::zero() || (seen && late > kHeldUp) ? Duration::zero() : late;
    }

    // Waiting on the user (the greeting) or done: nothing is owed any more.
    void Rest() override { owed_ = Duration::zero(); }

private:
    using Duration = std::chrono::steady_clock::duration;
    static constexpr Duration kHeldUp = std::chrono::seconds(1);
    static constexpr std::int64_t kHiddenWakeMs = 50;
    Duration owed_{};
};

}  // namespace

std::unique_ptr<PacerClock> MakeSystemPacerClock() { return std::make_unique<BrowserPacerClock>(); }

}  // namespace vantrel
