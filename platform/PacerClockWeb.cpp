#include "platform/SystemPacerClock.h"

#include <emscripten.h>

#include <algorithm>
#include <cstdint>

// The page's side, in JavaScript (clang-format would break its operators).
// clang-format off

// A page in a background tab gets its timers woken about once a second.
EM_JS(int, vantrel_page_hidden, (), { return document.hidden ? 1 : 0; });

// A page that is seen: the wait ends with the first displayed frame at most
// half a frame before the deadline, so the steps due by then run together in
// it (about three), and the page presents them with the next frame. A timer
// stands by for a page that stops having frames while it waits.
EM_ASYNC_JS(void, vantrel_sleep_frames, (double ms), {
    var until = performance.now() + ms - 8;
    await new Promise(function (resolve) {
        var done = false;
        var timer = setTimeout(finish, ms + 100);
        function finish() {
            if (!done) {
                done = true;
                clearTimeout(timer);
                resolve();
            }
        }
        function frame() {
            if (!done) {
                if (performance.now() >= until) {
                    finish();
                } else {
                    requestAnimationFrame(frame);
                }
            }
        }
        requestAnimationFrame(frame);
    });
});

// A hidden page: a worker's timers are not held back with the page, so a
// worker wakes it with a message. The page's own timer stands by, should the
// worker fail.
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

// The browser's clock. Each wait gives the page back to the browser
// (Asyncify), so the blocking show runs as written: a seen page waits for its
// displayed frames (a timer per 5 ms pause would cost the page twice as much
// of its own time and show nothing more), a hidden one for a worker's timer.
//
// The clock the pacer reads may run behind the real one. A wake that comes
// late (the browser was busy; a hidden page is woken every 50 ms here, and
// its own timers only once a second) is not lost: the time overslept is owed,
// the clock reads as if the wake had come on schedule, and the waits that
// follow return at once until the debt is paid, so the greeting comes on
// time. A frame up to half a frame early puts the clock as far ahead. Only a
// seen page that slept far longer than asked (a suspended machine) is let
// off: the pacer then starts afresh, as on the desktop.
class BrowserPacerClock final : public PacerClock {
public:
    [[nodiscard]] TimePoint Now() override { return std::chrono::steady_clock::now() - behind_; }

    void SleepUntil(TimePoint when) override
    {
        const auto wait = when - Now();
        if (wait <= Duration::zero()) {
            return;
        }
        if (behind_ >= wait) {
            behind_ -= wait;
            return;
        }
        const auto realWait = wait - behind_;
        const auto target = std::chrono::steady_clock::now() + realWait;
        const bool hidden = vantrel_page_hidden() != 0;
        if (hidden) {
            const auto ms = std::chrono::ceil<std::chrono::milliseconds>(realWait).count();
            vantrel_sleep_hidden(static_cast<int>(std::max<std::int64_t>(ms, kHiddenWakeMs)));
        } else {
            vantrel_sleep_frames(std::chrono::duration<double, std::milli>(realWait).count());
        }
        const auto late = std::chrono::steady_clock::now() - target;
        const bool seen = !hidden && vantrel_page_hidden() == 0;
        behind_ = seen && late > kHeldUp ? Duration::zero() : late;
    }

    // Waiting on the user (the greeting) or done: nothing is owed any more.
    // A clock ahead stays ahead: it never goes back.
    void Rest() override { behind_ = std::min(behind_, Duration::zero()); }

private:
    using Duration = std::chrono::steady_clock::duration;
    static constexpr Duration kHeldUp = std::chrono::seconds(1);
    static constexpr std::int64_t kHiddenWakeMs = 50;
    Duration behind_{};  // negative: ahead
};

}  // namespace

std::unique_ptr<PacerClock> MakeSystemPacerClock() { return std::make_unique<BrowserPacerClock>(); }

}  // namespace vantrel
