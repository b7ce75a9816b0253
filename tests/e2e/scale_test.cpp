// The window at a display scale, and moved between monitors of different
// scales, on a real X server: what reaches the screen is the picture the
// trace tool renders at that scale for the same random numbers.
//
//   AtOneScale.*   run with QT_SCALE_FACTOR set (1.5, 2)
//   TwoMonitors.*  run by two_monitors.sh: two RandR monitors on one screen,
//                  QT_SCREEN_SCALE_FACTORS giving each its own scale
// VANTREL_TRACE names the trace tool.
#include "../QtTestSupport.h"
#include "core/frmLines.h"
#include "frontends/qt/FormWidget.h"
#include "frontends/qt/QtRuntime.h"

#include <QLabel>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace vantrel {
namespace {

using testing::BoxAnswerer;
using testing::DifferingPixels;

constexpr std::uint32_t kSeed = 1012U;
// A move to a monitor of another scale shows there within this; 0.05 to 0.35 s
// were seen in a debug build, and the sanitizers make every step dearer.
#if defined(__SANITIZE_ADDRESS__)
constexpr auto kNewScaleWithin = std::chrono::seconds(3);
#else
constexpr auto kNewScaleWithin = std::chrono::seconds(1);
#endif
const QSize kClient(715, 487);

// The picture vantrel-trace renders at the greeting of one press.
QImage TracedPicture(qreal ratio)
{
    const QString tool = qEnvironmentVariable("VANTREL_TRACE");
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("traced.png"));
    QProcess trace;
    trace.setStandardOutputFile(QProcess::nullDevice());
    trace.start(tool,
                {QStringLiteral("--seed"), QString::number(kSeed), QStringLiteral("--presses"), QStringLiteral("1"),
                 QStringLiteral("--png"), png, QStringLiteral("--scale"), QString::number(ratio)});
    if (!trace.waitForFinished(120000) || trace.exitCode() != 0) {
        ADD_FAILURE() << "vantrel-trace (" << tool.toStdString() << ") failed: " << trace.readAllStandardError().data();
        return {};
    }
    return QImage(png).convertToFormat(QImage::Format_RGB32);
}

// The canvas lies beneath the controls and never shows there: black them out
// in device pixels, with a pixel to spare where their edges fall inside one.
QImage WithoutControls(QImage image, const FormWidget& window, qreal ratio)
{
    image.setDevicePixelRatio(1.0);  // the rectangles below are in device pixels already
    QPainter painter(&image);
    for (const QWidget* control :
         {static_cast<const QWidget*>(window.cmdStart()), static_cast<const QWidget*>(window.lblSleep())}) {
        const QRect g = control->geometry();
        const QRect device(QPoint(static_cast<int>(std::floor(g.left() * ratio)) - 1,
                                  static_cast<int>(std::floor(g.top() * ratio)) - 1),
                           QPoint(static_cast<int>(std::ceil((g.right() + 1) * ratio)),
                                  static_cast<int>(std::ceil((g.bottom() + 1) * ratio))));
        painter.fillRect(device, Qt::black);
    }
    return image;
}

// The window's client area as the X server holds it, in device pixels.
QImage Screen(FormWidget& window)
{
    return window.screen()->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

QSize DeviceSize(qreal ratio) { return (QSizeF(kClient) * ratio).toSize(); }

// Passes every call on to the Qt binding; at a chosen step of the show runs
// `atStep`, and at the greeting reads the window back from the X server.
class Probe final : public Runtime {
public:
    Probe(QtRuntime& qt, FormWidget& window) : qt_(qt), window_(window) {}

    std::function<void()> atStep;
    int stepToAct = 1000;
    QImage screenAtGreeting;
    QImage canvasAtGreeting;
    qreal ratioAtGreeting = 0;
    std::vector<qreal> ratioAtStep;  // the canvas's ratio when each step went out
    std::vector<std::chrono::steady_clock::time_point> timeAtStep;
    std::chrono::steady_clock::time_point actedAt;  // when `atStep` returned
    QImage screenMidFlyIn;
    QImage canvasMidFlyIn;

    void Line(float x1, float y1, float x2, float y2, Colour colour) override { qt_.Line(x1, y1, x2, y2, colour); }
    void Cls() override { qt_.Cls(); }
    [[nodiscard]] Colour BackColor() override { return qt_.BackColor(); }
    void Caption(std::string_view text) override
    {
        qt_.Caption(text);
        // The first write of a pause is when the step just drawn goes out.
        if (++captions_ % kPausePerStep != 1) {
            return;
        }
        ratioAtStep.push_back(window_.picture().Ratio());
        timeAtStep.push_back(std::chrono::steady_clock::now());
        if (static_cast<int>(ratioAtStep.size()) == stepToAct) {
            screenMidFlyIn = Screen(window_);
            canvasMidFlyIn = ImageOf(window_.picture()).copy();
            if (atStep) {
                atStep();
            }
            actedAt = std::chrono::steady_clock::now();
        }
    }
    void Randomize() override { qt_.Randomize(); }
    [[nodiscard]] float RandomNext() override { return qt_.RandomNext(); }
    void ShowMessageBox(std::string_view prompt, int buttons, std::string_view title) override
    {
        qt_.Flush();
        screenAtGreeting = Screen(window_);
        canvasAtGreeting = ImageOf(window_.picture()).copy();
        ratioAtGreeting = window_.picture().Ratio();
        qt_.ShowMessageBox(prompt, buttons, title);
    }

private:
    QtRuntime& qt_;
    FormWidget& window_;
    long captions_ = 0;
};

// The window as the start routine builds it, seeded; pacing shortened to a
// millisecond a step, so a show takes five seconds.
struct Program {
    FormWidget window;
    QtRuntime runtime{window, {.pacing = Pacer::Config{.round = std::chrono::nanoseconds(1000)}, .seed = kSeed}};
    Probe probe{runtime, window};
    frmLines form{probe};

    Program()
    {
        EXPECT_TRUE(runtime.Dispatch([&] { form.Form_Load(); }));
        QObject::connect(window.cmdStart(), &QPushButton::clicked, &window,
                         [this] { runtime.Dispatch([this] { form.cmdStart_Click(); }); });
    }

    void Press()
    {
        BoxAnswerer answer([](QMessageBox& /*box*/) {});
        QTest::mouseClick(window.cmdStart(), Qt::LeftButton);
        EXPECT_EQ(answer.answered(), 1);
    }
};

// Everything the window shows at `ratio` once a press reached its greeting.
void ExpectThePictureAt(Program& p, qreal ratio, const char* when)
{
    SCOPED_TRACE(when);
    const QImage traced = TracedPicture(ratio);
    ASSERT_EQ(traced.size(), DeviceSize(ratio));
    ASSERT_EQ(p.window.picture().Ratio(), ratio);
    EXPECT_EQ(DifferingPixels(ImageOf(p.window.picture()).convertToFormat(QImage::Format_RGB32), traced), 0)
        << "the canvas is not the picture drawn at this scale from the start";
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return DifferingPixels(WithoutControls(Screen(p.window), p.window, ratio),
                                   WithoutControls(traced, p.window, ratio)) == 0;
        },
        20000))
        << DifferingPixels(WithoutControls(Screen(p.window), p.window, ratio), WithoutControls(traced, p.window, ratio))
        << " pixels on screen differ from the traced picture";
}

TEST(AtOneScale, WhatReachesTheScreenIsTheTracedPictureAtThatScale)
{
    Program p;
    p.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&p.window));
    const qreal ratio = p.window.devicePixelRatioF();
    ASSERT_EQ(ratio, qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()) << "run with QT_SCALE_FACTOR set";
    EXPECT_EQ(p.window.size(), kClient);
    EXPECT_EQ(Screen(p.window).size(), DeviceSize(ratio));

    p.Press();
    // Mid fly-in, each step's repaint of its logical rectangle carried every
    // device pixel it changed.
    EXPECT_EQ(DifferingPixels(WithoutControls(p.probe.screenMidFlyIn, p.window, ratio),
                              WithoutControls(p.probe.canvasMidFlyIn, p.window, ratio)),
              0);
    const QImage traced = TracedPicture(ratio);
    EXPECT_EQ(DifferingPixels(p.probe.canvasAtGreeting, traced), 0);
    EXPECT_EQ(DifferingPixels(WithoutControls(p.probe.screenAtGreeting, p.window, ratio),
                              WithoutControls(traced, p.window, ratio)),
              0);
    ExpectThePictureAt(p, ratio, "after the greeting");
}

// The screen whose area holds a point in native pixels (X coordinates).
QScreen* ScreenAtNative(QPoint native)
{
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect logical = screen->geometry();
        const QRect device(logical.topLeft(), logical.size() * screen->devicePixelRatio());
        if (device.contains(native)) {
            return screen;
        }
    }
    return nullptr;
}

// Moves the window as a user does, through the X server: its client area's
// top-left to `native`.
void MoveTo(FormWidget& window, QPoint native)
{
    const int status =
        QProcess::execute(QStringLiteral("xdotool"),
                          {QStringLiteral("windowmove"), QStringLiteral("--sync"), QString::number(window.winId()),
                           QString::number(native.x()), QString::number(native.y())});
    ASSERT_EQ(status, 0) << "xdotool windowmove failed";
}

// The two monitors of two_monitors.sh: M0 from native x 0, M1 from 1600.
const QPoint kOnFirst(100, 100);
const QPoint kOnSecond(1800, 100);

// The size limits the window manager sees (WM_NORMAL_HINTS), in native pixels.
std::string SizeLimits(const FormWidget& window)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"),
                {QStringLiteral("-id"), QString::number(window.winId()), QStringLiteral("WM_NORMAL_HINTS")});
    xprop.waitForFinished(20000);
    std::string limits;
    for (const QByteArray& line : xprop.readAllStandardOutput().split('\n')) {
        if (line.contains("minimum size") || line.contains("maximum size")) {
            limits += line.trimmed().toStdString() + "; ";
        }
    }
    return limits;
}

std::string FixedAt(QSize native)
{
    const std::string size = std::to_string(native.width()) + " by " + std::to_string(native.height());
    return "program specified minimum size: " + size + "; program specified maximum size: " + size + "; ";
}

bool SettledAt(FormWidget& window, qreal ratio)
{
    return window.devicePixelRatioF() == ratio && window.size() == kClient &&
           Screen(window).size() == DeviceSize(ratio);
}

TEST(TwoMonitors, AfterAShowTheWindowMovedToTheOtherMonitorShowsThePictureDrawnThere)
{
    ASSERT_EQ(QGuiApplication::screens().size(), 2) << "run through two_monitors.sh";
    const qreal first = ScreenAtNative(kOnFirst)->devicePixelRatio();
    const qreal second = ScreenAtNative(kOnSecond)->devicePixelRatio();
    ASSERT_NE(first, second);

    Program p;
    p.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&p.window));
    MoveTo(p.window, kOnFirst);
    ASSERT_TRUE(QTest::qWaitFor([&] { return SettledAt(p.window, first); }, 20000));
    EXPECT_EQ(SizeLimits(p.window), FixedAt(DeviceSize(first)));
    p.Press();
    ExpectThePictureAt(p, first, "on the first monitor");

    MoveTo(p.window, kOnSecond);
    EXPECT_TRUE(QTest::qWaitFor([&] { return SettledAt(p.window, second); }, 20000))
        << "ratio " << p.window.devicePixelRatioF() << ", logical size " << p.window.width() << "x" << p.window.height()
        << ", native " << Screen(p.window).width() << "x" << Screen(p.window).height();
    EXPECT_EQ(p.window.cmdStart()->geometry(), QRect(288, 416, 145, 41)) << "the button stays in place";
    EXPECT_EQ(SizeLimits(p.window), FixedAt(DeviceSize(second))) << "the window keeps one size there";
    ExpectThePictureAt(p, second, "moved to the second monitor");

    MoveTo(p.window, kOnFirst);
    EXPECT_TRUE(QTest::qWaitFor([&] { return SettledAt(p.window, first); }, 20000));
    EXPECT_EQ(SizeLimits(p.window), FixedAt(DeviceSize(first)));
    ExpectThePictureAt(p, first, "moved back to the first monitor");
}

TEST(TwoMonitors, AMoveDuringAShowTakesEffectAtTheNextSteps)
{
    ASSERT_EQ(QGuiApplication::screens().size(), 2) << "run through two_monitors.sh";
    const qreal first = ScreenAtNative(kOnFirst)->devicePixelRatio();
    const qreal second = ScreenAtNative(kOnSecond)->devicePixelRatio();

    Program p;
    p.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&p.window));
    MoveTo(p.window, kOnFirst);
    ASSERT_TRUE(QTest::qWaitFor([&] { return SettledAt(p.window, first); }, 20000));
    // A thousand steps into the fly-in, with the click handler still running.
    p.probe.atStep = [&] { MoveTo(p.window, kOnSecond); };
    p.Press();

    const auto& ratios = p.probe.ratioAtStep;
    ASSERT_GT(ratios.size(), 1000U);
    EXPECT_EQ(ratios[999], first) << "the move came after step 1000 went out";
    std::size_t changed = 1000;
    while (changed < ratios.size() && ratios[changed] == first) {
        ++changed;
    }
    ASSERT_LT(changed, ratios.size()) << "the show ended without the new scale";
    const auto delay = p.probe.timeAtStep[changed] - p.probe.actedAt;
    std::printf("the new scale showed from step %zu, %zu steps and %lld ms after the move (of %zu)\n", changed + 1,
                changed + 1 - 1000,
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(delay).count()),
                ratios.size());
    EXPECT_LT(delay, kNewScaleWithin) << "the new scale came late";
    EXPECT_EQ(p.probe.ratioAtGreeting, second);
    EXPECT_EQ(p.window.size(), kClient);
    ExpectThePictureAt(p, second, "moved during the show");
}

}  // namespace
}  // namespace vantrel
