// The canvas at display scales, no window: what a scale costs the show.
//
//   Press_OnCanvas/R      every line of one press drawn at ratio R/100
//                         (items_per_second: lines; 100 and 125 use Qt's one-pixel line,
//                         150 and up the canvas's own wide pen)
//   Redraw_FullestRecord/R  the picture drawn again at R/100 from the record
//                         when it is fullest (a second press's fly-in over the
//                         first one's finale): what a move to another monitor
//                         costs at the step it arrives; record_bytes is its size
#include "BenchSupport.h"
#include "core/Picture.h"
#include "frontends/qt/PictureImage.h"
#include "frontends/recording/RecordedPicture.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace vantrel::bench {
namespace {

const QSize kClient(715, 487);
constexpr double kRecordedLineBytes = 4 * sizeof(float) + sizeof(QRgb);

const std::vector<Event>& Press()
{
    static const std::vector<Event> press = RecordPress();
    return press;
}

void Press_OnCanvas(benchmark::State& state)
{
    const qreal ratio = static_cast<qreal>(state.range(0)) / 100.0;
    const std::vector<Event>& press = Press();  // recorded before the clock starts
    std::size_t lines = 0;
    for (auto _ : state) {
        Picture canvas(kClientWidth, kClientHeight, ratio, kBlackPixel);
        lines = 0;
        for (const Event& e : press) {
            DrawRecorded(canvas, e);
            lines += e.type == Event::Type::Line ? 1U : 0U;
        }
        benchmark::DoNotOptimize(canvas.Pixels());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(lines) * state.iterations());
}

void Redraw_FullestRecord(benchmark::State& state)
{
    const qreal ratio = static_cast<qreal>(state.range(0)) / 100.0;
    // Two presses up to the second clear.
    std::vector<Event> events = Press();
    const std::vector<Event> second = Press();
    for (const Event& e : second) {
        if (e.type == Event::Type::Cls) {
            break;
        }
        events.push_back(e);
    }
    Picture canvas(kClientWidth, kClientHeight, 1.0, kBlackPixel);
    for (const Event& e : events) {
        DrawRecorded(canvas, e);
    }
    for (auto _ : state) {
        canvas.SetRatio(ratio);
        benchmark::DoNotOptimize(canvas.Pixels());
        state.PauseTiming();
        canvas.SetRatio(1.0);
        state.ResumeTiming();
    }
    state.counters["lines"] = static_cast<double>(canvas.RecordedLines());
    state.counters["record_bytes"] = static_cast<double>(canvas.RecordedLines()) * kRecordedLineBytes;
}

BENCHMARK(Press_OnCanvas)->Arg(100)->Arg(125)->Arg(150)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(Redraw_FullestRecord)->Arg(125)->Arg(150)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrel::bench

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
