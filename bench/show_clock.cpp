// Times a whole show of a running vantrel from outside the process, on the X
// server in DISPLAY: when each step reached the server, how long the show took
// and how much CPU the program used for it.
//
//   vantrel-bench-show PID WINDOW [--periods FILE]
//
// Watches WINDOW (the main window, no window manager: the client window is the
// top level) with XDamage and the root for new top-level windows, prints
// "ready" once both are selected, and then waits for the press, which the
// caller makes. Steps are bursts of damage at least 1.5 ms apart (two steps
// merge when this observer is held up; run it at a real-time priority on a
// busy machine); repaints of the button alone (its pressed look) are not
// steps. The show runs from the first step to the greeting's map; its pauses
// (5117 of 5 ms: 25.585 s) from the first step to one pause after the last.
// CPU is utime + stime of PID (every thread) from /proc/PID/stat over the same
// span. Prints one JSON object.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kTimeout = std::chrono::seconds(90);
constexpr auto kStepGap = std::chrono::microseconds(1500);
constexpr double kPauseMs = 5.0;
constexpr int kPauses = 5117;
// The button in pixels: a repaint inside it alone is its pressed look.
constexpr int kButtonLeft = 288;
constexpr int kButtonTop = 416;
constexpr int kButtonRight = kButtonLeft + 145;
constexpr int kButtonBottom = kButtonTop + 41;

int IgnoreXError(Display* /*display*/, XErrorEvent* /*error*/) { return 0; }

// utime + stime of every thread of the process, in seconds.
std::optional<double> CpuSeconds(long pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat;
    std::getline(in, stat);
    // The command name may hold blanks and parentheses: fields start after the last ')'.
    const auto close = stat.rfind(')');
    if (close == std::string::npos) {
        return std::nullopt;
    }
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    // state is field 3; utime and stime are fields 14 and 15.
    for (int i = 3; i < 14; ++i) {
        fields >> field;
    }
    unsigned long long utime = 0;
    unsigned long long stime = 0;
    if (!(fields >> utime >> stime)) {
        return std::nullopt;
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

bool IsGreeting(Display* display, Window window)
{
    char* name = nullptr;
    if (XFetchName(display, window, &name) == 0 || name == nullptr) {
        return false;
    }
    const bool greeting = std::string_view(name) == "Vantrel v2.0";
    XFree(name);
    return greeting;
}

double Percentile(std::vector<double> values, double p)
{
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(std::lround(p * static_cast<double>(values.size() - 1)))];
}

int Usage()
{
    std::fputs("usage: vantrel-bench-show PID WINDOW [--periods FILE]\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 5) {
        return Usage();
    }
    const long pid = std::strtol(argv[1], nullptr, 10);
    const Window window = std::strtoul(argv[2], nullptr, 0);
    const char* periodsFile = argc == 5 && std::strcmp(argv[3], "--periods") == 0 ? argv[4] : nullptr;
    if (pid <= 0 || window == 0 || (argc == 5 && periodsFile == nullptr)) {
        return Usage();
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("vantrel-bench-show: cannot open the display\n", stderr);
        return 1;
    }
    XSetErrorHandler(IgnoreXError);
    int damageEvent = 0;
    int damageError = 0;
    if (XDamageQueryExtension(display, &damageEvent, &damageError) == 0) {
        std::fputs("vantrel-bench-show: the X server has no DAMAGE extension\n", stderr);
        return 1;
    }
    XDamageCreate(display, window, XDamageReportRawRectangles);
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    std::puts("ready");
    std::fflush(stdout);

    std::vector<Clock::time_point> steps;
    Clock::time_point last{};
    std::optional<double> cpuStart;
    std::optional<double> cpuEnd;
    Clock::time_point greeted{};
    const auto deadline = Clock::now() + kTimeout;
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    while (!cpuEnd) {
        if (XPending(display) == 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) {
                std::fputs("vantrel-bench-show: no greeting within 90 s\n", stderr);
                return 1;
            }
            poll(&fd, 1, static_cast<int>(left.count()));
            continue;
        }
        XEvent event{};
        XNextEvent(display, &event);
        const auto now = Clock::now();
        if (event.type == damageEvent + XDamageNotify) {
            const auto& damage = *reinterpret_cast<XDamageNotifyEvent*>(&event);
            const XRectangle& area = damage.area;
            const bool buttonOnly = area.x >= kButtonLeft && area.y >= kButtonTop &&
                                    area.x + area.width <= kButtonRight && area.y + area.height <= kButtonBottom;
            if (buttonOnly) {
                continue;
            }
            if (steps.empty()) {
                cpuStart = CpuSeconds(pid);
            }
            if (steps.empty() || now - last > kStepGap) {
                steps.push_back(now);
            }
            last = now;
        } else if (event.type == MapNotify && event.xmap.window != window && !steps.empty() &&
                   IsGreeting(display, event.xmap.window)) {
            greeted = now;
            cpuEnd = CpuSeconds(pid);
        }
    }
    XCloseDisplay(display);
    if (!cpuStart || steps.size() < 2) {
        std::fputs("vantrel-bench-show: could not read the program's CPU time, or saw no steps\n", stderr);
        return 1;
    }

    std::vector<double> periods;
    for (std::size_t i = 1; i < steps.size(); ++i) {
        periods.push_back(std::chrono::duration<double, std::milli>(steps[i] - steps[i - 1]).count());
    }
    if (periodsFile != nullptr) {
        std::ofstream dump(periodsFile);
        for (const double ms : periods) {
            dump << ms << '\n';
        }
    }
    const double span = std::chrono::duration<double>(greeted - steps.front()).count();
    // The pauses alone: first step to last, and the last step's own pause.
    const double paced = std::chrono::duration<double>(steps.back() - steps.front()).count() + kPauseMs * 1e-3;
    const double ideal = kPauses * kPauseMs * 1e-3;
    const double cpu = *cpuEnd - *cpuStart;
    std::printf(
        "{\"what\": \"whole show from outside\", \"steps\": %zu, \"median_step_ms\": %.3f, \"p99_step_ms\": %.3f,"
        " \"paced_s\": %.4f, \"paced_error_pct\": %.3f, \"show_s\": %.4f, \"ideal_s\": %.4f,"
        " \"show_error_pct\": %.3f, \"cpu_s\": %.3f, \"cpu_pct_of_wall\": %.2f}\n",
        steps.size(), Percentile(periods, 0.5), Percentile(periods, 0.99), paced, 100.0 * (paced - ideal) / ideal, span,
        ideal, 100.0 * (span - ideal) / ideal, cpu, 100.0 * cpu / span);
    return 0;
}
