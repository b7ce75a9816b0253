#include "QtTestSupport.h"
#include "ShowTrace.h"
#include "core/Errors.h"
#include "core/frmLines.h"
#include "frontends/qt/FormWidget.h"
#include "frontends/qt/QtColours.h"
#include "frontends/qt/QtRuntime.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using testing::BoxAnswerer;
using testing::Replay;

constexpr std::uint32_t kSeed = 4242U;
const QtRuntime::Options kUnpaced{.pacing = Pacer::Config{.round = std::chrono::nanoseconds(0)}, .seed = kSeed};

TEST(QtShow, AfterAFlightOnlyTheRestingStarRemainsAndLaterFlightsCutOldPictures)
{
    RecordingRuntime recording(7U);
    frmLines form(recording);
    form.Form_Load();
    form.cmdStart_Click();
    const std::size_t firstPressEnd = recording.Events().size();
    form.cmdStart_Click();
    const auto& events = recording.Events();

    // First flight of the first press, replayed on the window's canvas.
    std::size_t flightEnd = 0;
    {
        std::size_t end = 0;
        const auto flights = testing::FlightsOf(events, &end);
        ASSERT_EQ(flights.size(), 24U);
        // Events of flight 0: 3 draws, then per move 1 + 24 + 1.
        flightEnd = 3 + flights[0].moves.size() * 26;
        Picture canvas(kClientWidth, kClientHeight, 1.0, kBlackPixel);
        Replay(events, canvas, 0, flightEnd);
        Picture resting(kClientWidth, kClientHeight, 1.0, kBlackPixel);
        for (const auto& s : flights[0].moves.back().drawn) {
            resting.DrawLine(static_cast<float>(s.x1), static_cast<float>(s.y1), static_cast<float>(s.x2),
                             static_cast<float>(s.y2), StandardPixelOf(s.colour));
        }
        EXPECT_EQ(ImageOf(canvas), ImageOf(resting));
    }

    // The second press flies over the first show's picture: its first flight
    // leaves black cuts in the old stars and adds only its resting star.
    Picture canvas(kClientWidth, kClientHeight, 1.0, kBlackPixel);
    Replay(events, canvas, 0, firstPressEnd);
    const QImage before = ImageOf(canvas).copy();
    Replay(events, canvas, firstPressEnd, firstPressEnd + flightEnd);
    const QImage after = ImageOf(canvas);
    int cuts = 0;
    int changedToOther = 0;
    const QRgb black = QColor(Qt::black).rgb();
    for (int y = 0; y < after.height(); ++y) {
        for (int x = 0; x < after.width(); ++x) {
            if (before.pixel(x, y) != black && after.pixel(x, y) == black) {
                ++cuts;
            } else if (before.pixel(x, y) != after.pixel(x, y)) {
                ++changedToOther;
            }
        }
    }
    EXPECT_GT(cuts, 0);
    EXPECT_GT(changedToOther, 0);  // the new resting star
    EXPECT_LT(changedToOther, 12 * 31 + 1);
}

TEST(QtRuntimeErrors, RunTimeErrorShowsItsMessageAndStopsTheProgram)
{
    FormWidget window;
    window.show();
    QtRuntime runtime(window, kUnpaced);
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    BoxAnswerer answer([&](QMessageBox& box) {
        text = box.text();
        icon = box.icon();
    });
    EXPECT_FALSE(runtime.Dispatch([] { RaiseOverflowError(); }));
    EXPECT_EQ(answer.answered(), 1);
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_TRUE(text.contains("overflow")) << text.toStdString();
    EXPECT_FALSE(window.isVisible()) << "the program is ending";
}

TEST(QtRuntimeErrors, APressDuringAShowDoesNotStartASecondOne)
{
    FormWidget window;
    QtRuntime runtime(window, kUnpaced);
    int inner = 0;
    EXPECT_TRUE(runtime.Dispatch([&] { EXPECT_TRUE(runtime.Dispatch([&] { ++inner; })); }));
    EXPECT_EQ(inner, 0);
    EXPECT_TRUE(runtime.Dispatch([&] { ++inner; }));
    EXPECT_EQ(inner, 1);
}

TEST(QtRuntime, SystemColoursResolveThroughThePalette)
{
    QPalette palette;
    palette.setColor(QPalette::Active, QPalette::WindowText, QColor(1, 2, 3));
    EXPECT_EQ(ToQColor(kSysMenuText, palette), QColor(1, 2, 3));
    EXPECT_EQ(ToQColor(0x00030201U, palette), QColor(1, 2, 3));
    EXPECT_EQ(ToQColor(0x800000FFU, palette), QColor(Qt::black));
}

}  // namespace
}  // namespace vantrel

namespace vantrel {
namespace {

TEST(QtGreeting, ClosingTheBoxWithItsTitleBarButtonCountsAsOk)
{
    FormWidget window;
    window.show();
    QtRuntime runtime(window, kUnpaced);
    int closed = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            timer.stop();
            ++closed;
            box->close();  // what the window manager's close button asks for
        }
    });
    timer.start(10);
    EXPECT_TRUE(runtime.Dispatch([&] { runtime.ShowMessageBox(kGreeting, kMsgBoxInformation, kProductName); }));
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(window.isVisible());
}

}  // namespace
}  // namespace vantrel

namespace vantrel {
namespace {

// Runs a whole unpaced press while `during` is called from a timer, which only
// fires when the show lets the window system through between two steps.
struct PressWithTimer {
    FormWidget window;
    QtRuntime runtime{window, kUnpaced};
    frmLines form{runtime};
    int ticksDuringShow = 0;

    explicit PressWithTimer(const std::function<void(FormWidget&)>& during)
    {
        window.show();
        EXPECT_TRUE(runtime.Dispatch([&] { form.Form_Load(); }));
        QTimer timer;
        bool inShow = false;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (inShow && QApplication::activeModalWidget() == nullptr) {
                ++ticksDuringShow;
                during(window);
            }
        });
        timer.start(0);
        BoxAnswerer answer([&](QMessageBox&) { inShow = false; });
        inShow = true;
        EXPECT_TRUE(runtime.Dispatch([&] { form.cmdStart_Click(); }));
        EXPECT_EQ(answer.answered(), 1);
    }
};

// Counts what reaches a widget past the application's filters.
struct Seen final : QObject {
    int input = 0;
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        const auto type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease || type == QEvent::KeyPress ||
            type == QEvent::KeyRelease || type == QEvent::Wheel) {
            ++input;
        }
        return false;
    }
};

TEST(QtShowBetweenSteps, UserInputDuringAShowIsDroppedAndTheButtonNeverFires)
{
    Seen seen;
    int clicks = 0;
    PressWithTimer press([&](FormWidget& window) {
        if (seen.parent() == nullptr) {
            seen.setParent(&window);
            window.cmdStart()->installEventFilter(&seen);
            QObject::connect(window.cmdStart(), &QPushButton::clicked, [&] { ++clicks; });
        }
        QTest::mouseClick(window.cmdStart(), Qt::LeftButton);
        QTest::keyClick(window.cmdStart(), Qt::Key_Return);
        QTest::keyClick(window.cmdStart(), Qt::Key_Space);
    });
    seen.setParent(nullptr);
    EXPECT_GT(press.ticksDuringShow, 10) << "the show served the window system between steps";
    EXPECT_EQ(seen.input, 0);
    EXPECT_EQ(clicks, 0);
    // After the show the same input works again.
    QTest::keyClick(press.window.cmdStart(), Qt::Key_Space);
    EXPECT_EQ(clicks, 1);
}

TEST(QtShowBetweenSteps, ACloseDuringAShowWaitsForTheGreetingThenCloses)
{
    int closes = 0;
    bool visibleAfterClose = true;
    PressWithTimer press([&](FormWidget& window) {
        if (closes++ == 0) {
            window.close();  // what the window manager's close button asks for
            visibleAfterClose = window.isVisible();
        }
    });
    EXPECT_TRUE(visibleAfterClose) << "the show ran on";
    EXPECT_FALSE(press.window.isVisible()) << "closed once the greeting was answered";
}

TEST(QtKeyboard, ReturnAndKeypadEnterPressTheFocusedButtonLikeSpace)
{
    FormWidget window;
    window.show();
    int clicks = 0;
    QObject::connect(window.cmdStart(), &QPushButton::clicked, [&] { ++clicks; });
    QTest::keyClick(window.cmdStart(), Qt::Key_Return);
    EXPECT_EQ(clicks, 1);
    QTest::keyClick(window.cmdStart(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(clicks, 2);
    QTest::keyClick(window.cmdStart(), Qt::Key_Space);
    EXPECT_EQ(clicks, 3);
    QTest::keyClick(window.cmdStart(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(clicks, 3) << "only a plain Return presses it";
}

}  // namespace
}  // namespace vantrel
