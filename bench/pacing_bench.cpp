// Pacing accuracy of the show's pause on the real binding, real pacing on.
//
// Plays the fly-in of one press (2717 steps, each ending in Delay(1000)) on a
// shown window and notes when each step reaches the screen: the binding
// repaints at the first caption write of a pause, so the time just after that
// write returns is when the step became visible. The steps should follow each
// other every 5 ms however long the drawing took. Stops at the clear that ends
// the fly-in (its repaint ends the last pause).
//
//   vantrel-bench-pacing [--steps N] [--busy] [--control] [--periods FILE]
//
// --busy     keeps a spinning child process on the other core for the run
//            (killed at the end, and by an alarm after two minutes whatever
//            happens).
// --control  no Qt, no show: the bare wait the pacer is built on (sleep until
//            150 us before a deadline 5 ms on, then spin), timed the same way.
//            What the operating system alone gives at that moment.
// --periods  also writes every step-to-step period in us, one a line.
// Prints one JSON object.
#include "BenchSupport.h"
#include "frontends/qt/FormWidget.h"
#include "frontends/qt/QtRuntime.h"

#include <QApplication>

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace vantrel::bench {
namespace {

using Clock = std::chrono::steady_clock;

struct EndOfRun {};

// Forwards every call to the Qt binding and notes the moment each pause's
// first caption write (the repaint) has returned.
class StepTimer final : public Runtime {
public:
    StepTimer(QtRuntime& inner, std::size_t steps) : inner_(inner), steps_(steps) { marks_.reserve(steps + 1); }

    void Line(float x1, float y1, float x2, float y2, Colour colour) override
    {
        inner_.Line(x1, y1, x2, y2, colour);
        drawn_ = true;
    }
    void Cls() override
    {
        inner_.Cls();
        Mark();
        throw EndOfRun{};
    }
    [[nodiscard]] Colour BackColor() override { return inner_.BackColor(); }
    void Caption(std::string_view text) override
    {
        inner_.Caption(text);
        if (drawn_) {
            drawn_ = false;
            Mark();
        }
    }
    void Randomize() override { inner_.Randomize(); }
    [[nodiscard]] float RandomNext() override { return inner_.RandomNext(); }
    void ShowMessageBox(std::string_view prompt, int buttons, std::string_view title) override
    {
        inner_.ShowMessageBox(prompt, buttons, title);
    }

    [[nodiscard]] const std::vector<Clock::time_point>& Marks() const noexcept { return marks_; }

private:
    void Mark()
    {
        marks_.push_back(Clock::now());
        if (marks_.size() > steps_) {
            throw EndOfRun{};
        }
    }

    QtRuntime& inner_;
    std::size_t steps_;
    std::vector<Clock::time_point> marks_;
    bool drawn_ = false;
};

double CpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

std::string LoadAverage()
{
    std::ifstream in("/proc/loadavg");
    std::string one;
    in >> one;
    return one;
}

// A child that keeps one core busy until killed; never outlives two minutes or its parent.
pid_t StartSpinner()
{
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        alarm(120);
        volatile unsigned long spins = 0;
        for (;;) {
            spins = spins + 1;
        }
    }
    return pid;
}

void StopSpinner(pid_t pid)
{
    if (pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

double Percentile(std::vector<double> sorted, double p)
{
    std::sort(sorted.begin(), sorted.end());
    if (sorted.empty()) {
        return 0.0;
    }
    const auto index = static_cast<std::size_t>(std::lround(p * static_cast<double>(sorted.size() - 1)));
    return sorted[index];
}

// What one run gives: the moment each step became visible, and the cost.
struct Run {
    std::vector<Clock::time_point> marks;
    double wallSeconds = 0;
    double cpuSeconds = 0;
};

std::optional<Run> PlayFlyIn(int argc, char** argv, std::size_t steps)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    FormWidget window;
    if (!ShowExposed(window)) {
        std::fputs("vantrel-bench-pacing: the window was never exposed\n", stderr);
        return std::nullopt;
    }
    QtRuntime binding(window, QtRuntime::Options{.seed = kSeed});
    StepTimer timer(binding, steps);
    frmLines form(timer);
    form.Form_Load();
    Run run;
    const double cpuStart = CpuSeconds();
    const auto wallStart = Clock::now();
    try {
        form.cmdStart_Click();
    } catch (const EndOfRun&) {
    }
    run.wallSeconds = std::chrono::duration<double>(Clock::now() - wallStart).count();
    run.cpuSeconds = CpuSeconds() - cpuStart;
    run.marks = timer.Marks();
    return run;
}

Run PlayControl(std::size_t steps)
{
    const Pacer::Config config;
    Run run;
    const double cpuStart = CpuSeconds();
    const auto wallStart = Clock::now();
    auto deadline = wallStart;
    for (std::size_t i = 0; i <= steps; ++i) {
        deadline += kPause;
        std::this_thread::sleep_until(deadline - config.spin);
        auto now = Clock::now();
        while (now < deadline) {
            now = Clock::now();
        }
        run.marks.push_back(now);
    }
    run.wallSeconds = std::chrono::duration<double>(Clock::now() - wallStart).count();
    run.cpuSeconds = CpuSeconds() - cpuStart;
    return run;
}

int Usage()
{
    std::fputs("usage: vantrel-bench-pacing [--steps N] [--busy] [--control] [--periods FILE]\n", stderr);
    return 2;
}

}  // namespace
}  // namespace vantrel::bench

int main(int argc, char** argv)
{
    using namespace vantrel::bench;

    std::size_t steps = 2717;
    bool busy = false;
    bool control = false;
    const char* periodsFile = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--busy") {
            busy = true;
        } else if (arg == "--control") {
            control = true;
        } else if (arg == "--periods" && i + 1 < argc) {
            periodsFile = argv[++i];
        } else if (arg == "--steps" && i + 1 < argc) {
            steps = std::strtoul(argv[++i], nullptr, 10);
        } else {
            return Usage();
        }
    }
    if (steps == 0) {
        return Usage();
    }

    const std::string load = LoadAverage();
    // Before Qt starts any thread: the child does nothing but spin.
    const pid_t spinner = busy ? StartSpinner() : 0;
    if (spinner < 0) {
        std::perror("vantrel-bench-pacing: fork");
        return 1;
    }
    const std::optional<Run> run = control ? PlayControl(steps) : PlayFlyIn(argc, argv, steps);
    StopSpinner(spinner);
    if (!run || run->marks.size() < 2) {
        std::fputs("vantrel-bench-pacing: no pause was measured\n", stderr);
        return 1;
    }

    const auto& marks = run->marks;
    const auto pause = static_cast<double>(kPause.count());
    std::vector<double> periods;   // us from one visible step to the next
    std::vector<double> absError;  // |period - 5 ms| in us
    for (std::size_t i = 1; i < marks.size(); ++i) {
        const double us = std::chrono::duration<double, std::micro>(marks[i] - marks[i - 1]).count();
        periods.push_back(us);
        absError.push_back(std::abs(us - pause));
    }
    if (periodsFile != nullptr) {
        std::ofstream dump(periodsFile);
        for (const double us : periods) {
            dump << us << '\n';
        }
    }
    const auto within = std::count_if(absError.begin(), absError.end(), [&](double e) { return e <= 0.03 * pause; });
    const double span = std::chrono::duration<double>(marks.back() - marks.front()).count();
    const double ideal = static_cast<double>(periods.size()) * pause * 1e-6;
    const double median = Percentile(periods, 0.5);
    std::printf(
        "{\"what\": \"%s\", \"condition\": \"%s\", \"pauses\": %zu, \"loadavg_before\": %s,"
        " \"median_us\": %.1f, \"median_error_pct\": %.3f, \"p90_abs_error_us\": %.1f, \"p99_abs_error_us\": %.1f,"
        " \"p99_abs_error_pct\": %.3f, \"pct_within_3pct\": %.2f,"
        " \"min_us\": %.1f, \"max_us\": %.1f, \"span_s\": %.4f, \"ideal_s\": %.4f, \"span_error_pct\": %.3f,"
        " \"wall_s\": %.3f, \"cpu_s\": %.3f, \"cpu_pct_of_wall\": %.1f}\n",
        control ? "bare sleep+spin" : "fly-in", busy ? "other core busy" : "idle", periods.size(), load.c_str(), median,
        100.0 * (median - pause) / pause, Percentile(absError, 0.9), Percentile(absError, 0.99),
        100.0 * Percentile(absError, 0.99) / pause,
        100.0 * static_cast<double>(within) / static_cast<double>(periods.size()), Percentile(periods, 0.0),
        Percentile(periods, 1.0), span, ideal, 100.0 * (span - ideal) / ideal, run->wallSeconds, run->cpuSeconds,
        100.0 * run->cpuSeconds / run->wallSeconds);
    return 0;
}
