// The show on a real X server, in process: the window, its Qt binding and the
// show put together as the start routine puts them, the button pressed, and
// the window's pixels read back from the X server while the show still runs.
#include "../QtTestSupport.h"
#include "core/frmLines.h"
#include "frontends/qt/FormWidget.h"
#include "frontends/qt/QtRuntime.h"

#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantrel {
namespace {

using testing::BoxAnswerer;
using testing::DifferingPixels;

// The canvas lies beneath the controls and never shows there.
QImage WithoutControls(QImage image, const FormWidget& window)
{
    QPainter painter(&image);
    painter.fillRect(window.cmdStart()->geometry(), Qt::black);
    painter.fillRect(window.lblSleep()->geometry(), Qt::black);
    return image;
}

// The window's client area as the X server holds it.
QImage OnScreen(FormWidget& window)
{
    const QImage shot = window.screen()->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    return WithoutControls(shot, window);
}

QImage CanvasOf(FormWidget& window) { return WithoutControls(ImageOf(window.picture()).copy(), window); }

bool AllBlack(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFFU) != 0) {
                return false;
            }
        }
    }
    return true;
}

// Passes every call on to the Qt binding and, at chosen moments of the show,
// reads the window back from the X server. The show runs inside the click
// handler, so whatever is on the server then got there without the event loop.
class ScreenProbe final : public Runtime {
public:
    struct Sample {
        std::string when;
        QImage screen;
        QImage canvas;
    };

    ScreenProbe(QtRuntime& qt, FormWidget& window) : qt_(qt), window_(window) {}

    void Line(float x1, float y1, float x2, float y2, Colour colour) override { qt_.Line(x1, y1, x2, y2, colour); }
    void Cls() override
    {
        qt_.Cls();
        Take("after the clear");
    }
    [[nodiscard]] Colour BackColor() override { return qt_.BackColor(); }
    void Caption(std::string_view text) override
    {
        qt_.Caption(text);
        // The first write of a pause is when the step just drawn goes out.
        if (++captions_ % kPausePerStep == 1 && ++steps_ == kMidFlyIn) {
            Take("mid fly-in");
        }
    }
    void Randomize() override { qt_.Randomize(); }
    [[nodiscard]] float RandomNext() override { return qt_.RandomNext(); }
    void ShowMessageBox(std::string_view prompt, int buttons, std::string_view title) override
    {
        Take("at the greeting");
        qt_.ShowMessageBox(prompt, buttons, title);
    }

    [[nodiscard]] const std::vector<Sample>& Samples() const noexcept { return samples_; }

private:
    static constexpr int kMidFlyIn = 1000;

    void Take(const char* when) { samples_.push_back({when, OnScreen(window_), CanvasOf(window_)}); }

    QtRuntime& qt_;
    FormWidget& window_;
    long captions_ = 0;
    int steps_ = 0;
    std::vector<Sample> samples_;
};

TEST(OnTheXServer, APressDrawsOnScreenWithoutTheEventLoopAndEndsInTheGreeting)
{
    // As the start routine builds the program, without pacing: every step is
    // still pushed out at its pause, only the waits are gone.
    FormWidget window;
    QtRuntime runtime(window, {.pacing = Pacer::Config{.round = std::chrono::nanoseconds(0)}, .seed = 2412U});
    ScreenProbe probe(runtime, window);
    frmLines form(probe);
    ASSERT_TRUE(runtime.Dispatch([&] { form.Form_Load(); }));
    QObject::connect(window.cmdStart(), &QPushButton::clicked, &window,
                     [&] { runtime.Dispatch([&] { form.cmdStart_Click(); }); });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(QTest::qWaitFor([&] { return DifferingPixels(OnScreen(window), CanvasOf(window)) == 0; }))
        << "the idle window on screen is its black canvas";

    bool separateWindow = false;
    BoxAnswerer answer([&](QMessageBox& box) {
        EXPECT_EQ(box.windowTitle(), "Vantrel v2.0");
        EXPECT_EQ(box.text(), "Merry Chritmas from the Quorvel!!!");
        EXPECT_EQ(box.icon(), QMessageBox::Information);
        EXPECT_FALSE(box.iconPixmap().isNull());
        EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);
        EXPECT_EQ(box.buttons().size(), 1);
        EXPECT_TRUE(box.isModal());
        EXPECT_EQ(box.parentWidget(), &window);
        separateWindow = box.isWindow() && box.isVisible() && box.winId() != window.winId();
    });
    QTest::mouseClick(window.cmdStart(), Qt::LeftButton);
    EXPECT_EQ(answer.answered(), 1);
    EXPECT_TRUE(separateWindow) << "the greeting is a top-level window of its own";

    const auto& samples = probe.Samples();
    ASSERT_EQ(samples.size(), 3U);
    EXPECT_EQ(samples[0].when, "mid fly-in");
    EXPECT_EQ(samples[1].when, "after the clear");
    EXPECT_EQ(samples[2].when, "at the greeting");
    EXPECT_FALSE(AllBlack(samples[0].canvas));
    EXPECT_TRUE(AllBlack(samples[1].canvas));
    EXPECT_FALSE(AllBlack(samples[2].canvas));
    for (const auto& sample : samples) {
        EXPECT_EQ(DifferingPixels(sample.screen, sample.canvas), 0) << sample.when;
    }

    // Once the box is gone, the window repaints what it covered: the picture stays.
    EXPECT_TRUE(QTest::qWaitFor([&] { return DifferingPixels(OnScreen(window), samples[2].canvas) == 0; }))
        << DifferingPixels(OnScreen(window), samples[2].canvas) << " pixels differ after the greeting";
}

}  // namespace
}  // namespace vantrel
