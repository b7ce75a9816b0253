// The window under a real window manager while a show runs: minimised and
// restored, or covered by another window and uncovered, it shows the canvas
// and its controls again within one step; a close asked for while the
// greeting is open is done once the greeting is answered.
//
// In process, so the picture the window should show is at hand: the show runs
// with the real pacing through the Qt binding, and a Runtime that forwards
// every call acts at chosen pauses (5 ms each) through a connection of its own
// to the X server, then compares the window's pixels on the server with what
// the widget renders.
#include "XClient.h"
#include "core/frmLines.h"
#include "frontends/qt/FormWidget.h"
#include "frontends/qt/QtRuntime.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

namespace vantrel {
namespace {

using testing::XClient;

constexpr unsigned int kMagenta = 0xFF00FFU;

QImage OnScreen(FormWidget& window)
{
    return window.screen()->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

// The canvas with the label and the button over it, as the widget paints itself.
QImage Expected(FormWidget& window) { return window.grab().toImage().convertToFormat(QImage::Format_RGB32); }

// Pixels of `image` for which `pick(pixel)` holds.
int Count(const QImage& image, const std::function<bool(QRgb)>& pick)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            n += pick(line[x]) ? 1 : 0;
        }
    }
    return n;
}

int DifferingPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size()) {
        return a.width() * a.height();
    }
    int n = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* lineA = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* lineB = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            n += lineA[x] != lineB[x] ? 1 : 0;
        }
    }
    return n;
}

struct EndOfShow {};

// Forwards every call to the Qt binding and, once per pause (its first caption
// write, right after the step was pushed out), hands the pause's number to
// `act`; a false answer ends the show there.
class PauseHook final : public Runtime {
public:
    PauseHook(QtRuntime& qt, std::function<bool(int)> act) : qt_(qt), act_(std::move(act)) {}

    void Line(float x1, float y1, float x2, float y2, Colour colour) override { qt_.Line(x1, y1, x2, y2, colour); }
    void Cls() override { qt_.Cls(); }
    [[nodiscard]] Colour BackColor() override { return qt_.BackColor(); }
    void Caption(std::string_view text) override
    {
        qt_.Caption(text);
        if (++captions_ % kPausePerStep == 1 && !act_(++pauses_)) {
            throw EndOfShow{};
        }
    }
    void Randomize() override { qt_.Randomize(); }
    [[nodiscard]] float RandomNext() override { return qt_.RandomNext(); }
    void ShowMessageBox(std::string_view prompt, int buttons, std::string_view title) override
    {
        qt_.ShowMessageBox(prompt, buttons, title);
    }

private:
    QtRuntime& qt_;
    std::function<bool(int)> act_;
    long captions_ = 0;
    int pauses_ = 0;
};

// What happened around one disturbance, in pauses of the show.
struct Recovery {
    std::optional<int> disturbed;  // the window was unmapped, or the cover seen on it
    std::optional<int> back;       // our connection saw the window whole again
    std::optional<int> repaired;   // first pause at which the screen showed the widget
    int differing = 0;             // pixels off at the pause after `back`
};

// Waits, pause by pause, for the screen to show the widget again once `back`
// is set; true while still waiting. What the screen showed one pause after
// `back`, if wrong, is left beside the test as NAME-screen.png and
// NAME-expected.png.
bool AwaitRepair(FormWidget& window, Recovery& r, int pause, int patience, const QString& name)
{
    if (!r.back || r.repaired) {
        return false;
    }
    if (pause > *r.back) {
        const QImage screen = OnScreen(window);
        const QImage expected = Expected(window);
        const int off = DifferingPixels(screen, expected);
        if (pause == *r.back + 1) {
            r.differing = off;
            if (off != 0) {
                screen.save(name + QStringLiteral("-screen.png"));
                expected.save(name + QStringLiteral("-expected.png"));
            }
        }
        if (off == 0) {
            r.repaired = pause;
            return false;
        }
    }
    return pause < *r.back + patience;
}

TEST(UnderAWindowManager, MinimisedRestoredCoveredAndUncoveredMidShowTheWindowIsWholeWithinOneStep)
{
    XClient x;
    ASSERT_TRUE(x.Open());
    x.PointerAway();

    FormWidget window;
    QtRuntime runtime(window, {.seed = 2412U});  // the real pacing: 5 ms a pause
    const auto id = static_cast<XClient::Window>(window.winId());

    // Minimise at ~3 s, restore at ~5 s; cover at ~7 s, uncover 0.5 s later.
    constexpr int kMinimiseAt = 600;
    constexpr int kRestoreAt = 1000;
    constexpr int kCoverAt = 1400;
    constexpr int kCoveredFor = 100;
    constexpr int kPatience = 40;  // pauses (0.2 s) to wait for the window manager or a repair
    Recovery restored;
    Recovery uncovered;
    XClient::Window cover = 0;
    int coverSeen = 0;  // magenta pixels on the window while covered
    std::string stoppedAt;

    auto act = [&](int pause) {
        if (pause == kMinimiseAt) {
            x.Minimise(id);
        } else if (pause > kMinimiseAt && pause < kRestoreAt && !restored.disturbed && !x.Viewable(id)) {
            restored.disturbed = pause;
        } else if (pause == kRestoreAt) {
            if (!restored.disturbed) {
                stoppedAt = "the window manager did not minimise the window";
                return false;
            }
            x.Restore(id);
        } else if (pause > kRestoreAt && !restored.back && pause < kRestoreAt + kPatience && x.Viewable(id)) {
            restored.back = pause;
        } else if (pause == kRestoreAt + kPatience && !restored.back) {
            stoppedAt = "the window manager did not restore the window";
            return false;
        } else if (AwaitRepair(window, restored, pause, kPatience, QStringLiteral("restored"))) {
            // waiting for the repaint after the restore
        } else if (pause == kCoverAt) {
            cover = x.Cover(id, window.width(), window.height(), kMagenta);
            coverSeen = Count(OnScreen(window), [](QRgb pixel) { return (pixel & 0xFFFFFFU) == kMagenta; });
            uncovered.disturbed = pause;
        } else if (pause == kCoverAt + kCoveredFor) {
            x.Uncover(cover);
            cover = 0;
            uncovered.back = pause;  // our request has been carried out
        } else if (AwaitRepair(window, uncovered, pause, kPatience, QStringLiteral("uncovered"))) {
            // waiting for the repaint after the uncover
        } else if (pause > kCoverAt + kCoveredFor) {
            return false;
        }
        return true;
    };

    PauseHook hook(runtime, act);
    frmLines form(hook);
    ASSERT_TRUE(runtime.Dispatch([&] { form.Form_Load(); }));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(QTest::qWaitFor([&] { return DifferingPixels(OnScreen(window), Expected(window)) == 0; }))
        << "before the show the screen shows what the widget renders: "
        << DifferingPixels(OnScreen(window), Expected(window)) << " pixels differ";

    // The press, as the button's handler runs it; the show ends early once
    // everything is seen, which is not an error.
    bool ended = false;
    ASSERT_TRUE(runtime.Dispatch([&] {
        try {
            form.cmdStart_Click();
        } catch (const EndOfShow&) {
            ended = true;
        }
    }));
    if (cover != 0) {
        x.Uncover(cover);
    }
    ASSERT_TRUE(ended);
    ASSERT_TRUE(stoppedAt.empty()) << stoppedAt;

    ASSERT_TRUE(restored.back.has_value());
    std::printf("minimised at pause %d (seen unmapped at %d), restore asked at %d, mapped again at %d, whole at %s\n",
                kMinimiseAt, restored.disturbed.value_or(-1), kRestoreAt, *restored.back,
                restored.repaired ? std::to_string(*restored.repaired).c_str() : "never");
    EXPECT_LE(restored.repaired.value_or(INT_MAX), *restored.back + 1)
        << "restored: one step after it was mapped again " << restored.differing << " pixels still differed";

    EXPECT_GT(coverSeen, window.width() * window.height() * 9 / 10) << "the cover did not lie over the window";
    std::printf("covered at pause %d, uncovered at %d, whole at %s\n", kCoverAt, *uncovered.back,
                uncovered.repaired ? std::to_string(*uncovered.repaired).c_str() : "never");
    EXPECT_LE(uncovered.repaired.value_or(INT_MAX), *uncovered.back + 1)
        << "uncovered: one step later " << uncovered.differing << " pixels still differed";
}

TEST(UnderAWindowManager, ACloseAskedForWhileTheGreetingIsOpenIsDoneOnceItIsAnswered)
{
    XClient x;
    ASSERT_TRUE(x.Open());
    FormWidget window;
    // Unpaced: the steps still serve the window system, only the waits are gone.
    QtRuntime runtime(window, {.pacing = Pacer::Config{.round = std::chrono::nanoseconds(0)}, .seed = 2412U});
    frmLines form(runtime);
    ASSERT_TRUE(runtime.Dispatch([&] { form.Form_Load(); }));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    bool greeted = false;
    bool openWithTheGreeting = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        timer.stop();
        greeted = true;
        x.AskToClose(static_cast<XClient::Window>(window.winId()));
        // The window manager passes the request on; the greeting's loop takes it.
        QTest::qWait(300);
        openWithTheGreeting = window.isVisible();
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    timer.start(10);
    EXPECT_TRUE(runtime.Dispatch([&] { form.cmdStart_Click(); }));
    ASSERT_TRUE(greeted);
    EXPECT_TRUE(openWithTheGreeting) << "the window closed under its greeting";
    EXPECT_FALSE(window.isVisible()) << "the close asked for while the greeting was open was lost";
}

}  // namespace
}  // namespace vantrel

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fputs("these tests need an X server with a window manager: run them through with_openbox.sh\n", stderr);
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    // As the program runs: plain X requests, no shared memory.
    qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
