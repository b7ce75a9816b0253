// The page's entry points. main loads the form; the page calls the exports
// below directly (never through ccall, which would take over the one call a
// sleeping show may have pending).
#include "core/frmLines.h"
#include "frontends/web/WebRuntime.h"

#include <emscripten.h>

#include <cstdint>
#include <memory>
#include <optional>

// The ratio the page lays its canvas out at (devicePixelRatio, times the scale
// of a window narrowed to fit).
EM_JS(double, vantrel_page_ratio, (), { return Vantrel.ratio(); });

namespace {

// A test build fixes the seed, so its picture can be compared with the trace
// tool's (vantrel-trace --seed N); the page itself seeds from the clock.
#ifdef VANTREL_WEB_TEST_SEED
constexpr std::optional<std::uint32_t> kSeed = VANTREL_WEB_TEST_SEED;
#else
constexpr std::optional<std::uint32_t> kSeed;
#endif

// They live as long as the page: main returns, the module stays.
std::unique_ptr<vantrel::WebRuntime> g_runtime;
std::unique_ptr<vantrel::frmLines> g_form;

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void vantrel_press()
{
    if (!g_runtime || g_runtime->Dispatching() || g_runtime->Ended()) {
        return;
    }
    g_runtime->Dispatch([] { g_form->cmdStart_Click(); });
}

EMSCRIPTEN_KEEPALIVE void vantrel_set_ratio(double ratio)
{
    if (g_runtime) {
        g_runtime->SetRatio(ratio);
    }
}

#ifdef VANTREL_WEB_TEST_SEED
// The nth line drawn from now on fails with a run-time error.
EMSCRIPTEN_KEEPALIVE void vantrel_test_fail_on_line(int nth)
{
    if (g_runtime) {
        g_runtime->FailOnLine(nth);
    }
}
#endif

}  // extern "C"

int main()
{
    g_runtime = std::make_unique<vantrel::WebRuntime>(kSeed, vantrel_page_ratio());
    g_form = std::make_unique<vantrel::frmLines>(*g_runtime);
    g_runtime->Dispatch([] { g_form->Form_Load(); });
    return 0;
}
