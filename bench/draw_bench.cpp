// Drawing cost of the show through the Qt binding.
//
//   Move_*         one animation step: 24 lines through QtRuntime::Line, then
//                  the first round of the pause, which repaints them on screen
//                  and serves the window system's events
//   Clear_*        the clear and its repaint of the whole window
//   Press_*        a whole press with pacing off, against the same lines drawn
//                  with a bare QPainter into a QImage
//
// The platform is whatever QT_QPA_PLATFORM says (offscreen when unset), so
// tools/bench.sh runs this binary once per platform.
#include "BenchSupport.h"
#include "core/Picture.h"
#include "frontends/qt/FormWidget.h"
#include "frontends/qt/PictureImage.h"
#include "frontends/qt/QtColours.h"
#include "frontends/qt/QtRuntime.h"

#include <QImage>
#include <QPainter>
#include <QPen>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

namespace vantrel::bench {
namespace {

const QtRuntime::Options kUnpaced{.pacing = Pacer::Config{.round = std::chrono::nanoseconds(0)}, .seed = kSeed};

const std::vector<Event>& Press()
{
    static const std::vector<Event> press = RecordPress();
    return press;
}

using Clock = std::chrono::steady_clock;

double Micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

// Median, p99 and the median's share of the 5 ms pause that follows every step.
void ReportSteps(benchmark::State& state, std::vector<double> us)
{
    if (us.empty()) {
        return;
    }
    std::sort(us.begin(), us.end());
    const double median = us[us.size() / 2];
    state.counters["median_us"] = median;
    state.counters["p99_us"] = us[(us.size() - 1) * 99 / 100];
    state.counters["pct_of_5ms"] = 100.0 * median / static_cast<double>(kPause.count());
}

// Plays the fly-in's steps in order (so dirty rectangles have their real
// sizes), each 24 lines through the binding, then the start of its pause
// (repaint and window-system events) if kRepaint.
// With a gap, the thread sleeps after each step as the show does in its
// pause, so the display server has caught up before the next one.
template <bool kRepaint>
void Steps(benchmark::State& state, std::chrono::microseconds gap)
{
    static const std::vector<Move> moves = FlyInMoves(Press());
    FormWidget window;
    if (!ShowExposed(window)) {
        state.SkipWithError("the window was never exposed");
        return;
    }
    QtRuntime runtime(window, kUnpaced);
    std::vector<double> us;
    std::size_t next = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        for (const Event& e : moves[next]) {
            runtime.Line(e.x1, e.y1, e.x2, e.y2, e.colour);
        }
        if constexpr (kRepaint) {
            runtime.Caption("");
        }
        const auto took = Clock::now() - start;
        state.SetIterationTime(std::chrono::duration<double>(took).count());
        us.push_back(Micros(took));
        next = (next + 1) % moves.size();
        if (gap.count() > 0) {
            std::this_thread::sleep_for(gap);
        }
    }
    runtime.Flush();
    ReportSteps(state, std::move(us));
}

// The figure: every step of one fly-in, paused after each like the show.
void Move_LinesAndRepaint(benchmark::State& state) { Steps<true>(state, std::chrono::microseconds(1000)); }
// Steps back to back: adds whatever the display server has not finished.
void Move_BackToBack(benchmark::State& state) { Steps<true>(state, {}); }
// The lines alone, no repaint.
void Move_LinesOnly(benchmark::State& state) { Steps<false>(state, {}); }

// The clear and its repaint of the whole window: once per press, and about
// what any expose of the window costs.
void Clear_AndRepaint(benchmark::State& state)
{
    FormWidget window;
    if (!ShowExposed(window)) {
        state.SkipWithError("the window was never exposed");
        return;
    }
    QtRuntime runtime(window, kUnpaced);
    for (auto _ : state) {
        const auto start = Clock::now();
        runtime.Cls();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void Press_ThroughBinding(benchmark::State& state)
{
    FormWidget window;
    if (!ShowExposed(window)) {
        state.SkipWithError("the window was never exposed");
        return;
    }
    QtRuntime runtime(window, kUnpaced);
    frmLines form(runtime);
    runtime.Dispatch([&] { form.Form_Load(); });
    for (auto _ : state) {
        ImmediateAnswer answer;
        if (!runtime.Dispatch([&] { form.cmdStart_Click(); }) || answer.answered() != 1) {
            state.SkipWithError("the press did not end at the greeting");
            return;
        }
    }
}

// The floor: the same lines and the one clear, already in pixels, drawn by a
// QPainter held open on an image, the pen changed only when the colour does.
void Press_RawQPainter(benchmark::State& state)
{
    struct PixelLine {
        QPoint a;
        QPoint b;
        QRgb colour;
        bool clear;
    };
    std::vector<PixelLine> lines;
    const QPalette palette(Qt::black);
    for (const Event& e : Press()) {
        if (e.type == Event::Type::Line) {
            lines.push_back({QPoint(TwipsToPixels(e.x1), TwipsToPixels(e.y1)),
                             QPoint(TwipsToPixels(e.x2), TwipsToPixels(e.y2)), ToQColor(e.colour, palette).rgb(),
                             false});
        } else if (e.type == Event::Type::Cls) {
            lines.push_back({{}, {}, 0, true});
        }
    }
    QImage image(kClientWidthTwips / kTwipsPerPixel, kClientHeightTwips / kTwipsPerPixel, QImage::Format_RGB32);
    image.fill(Qt::black);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        QRgb pen = 0;
        bool penSet = false;
        for (const PixelLine& l : lines) {
            if (l.clear) {
                painter.fillRect(image.rect(), Qt::black);
                continue;
            }
            if (!penSet || l.colour != pen) {
                painter.setPen(QPen(QColor(l.colour), 1, Qt::SolidLine, Qt::SquareCap));
                pen = l.colour;
                penSet = true;
            }
            painter.drawLine(l.a, l.b);
        }
        benchmark::DoNotOptimize(image.constBits());
    }
}

BENCHMARK(Move_LinesAndRepaint)->Unit(benchmark::kMicrosecond)->UseManualTime()->Iterations(2717);
BENCHMARK(Move_BackToBack)->Unit(benchmark::kMicrosecond)->UseManualTime();
BENCHMARK(Move_LinesOnly)->Unit(benchmark::kMicrosecond)->UseManualTime();
BENCHMARK(Clear_AndRepaint)->Unit(benchmark::kMicrosecond)->UseManualTime()->Iterations(200);
BENCHMARK(Press_ThroughBinding)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5);
BENCHMARK(Press_RawQPainter)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(5);

}  // namespace
}  // namespace vantrel::bench

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
