#include "frontends/qt/QtRuntime.h"

#include "core/frmLines.h"
#include "frontends/qt/FormWidget.h"
#include "frontends/qt/FormWidgetAccessibility.h"
#include "frontends/qt/PictureImage.h"
#include "frontends/qt/QtColours.h"
#include "frontends/qt/UserHold.h"
#include "platform/SystemPacerClock.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QThread>

#include <chrono>
#include <cstdio>
#include <exception>
#include <optional>
#include <utility>

namespace vantrel {
namespace {

QString ToQString(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Thrown out of a show whose window another client destroyed: there is
// nothing left to draw on, and the program ends as if it had been closed.
struct WindowGone {};

QMessageBox::Icon IconOf(int buttons)
{
    switch (buttons & 0x70) {
    case 16:
        return QMessageBox::Critical;
    case 32:
        return QMessageBox::Question;
    case 48:
        return QMessageBox::Warning;
    case 64:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

}  // namespace

QtRuntime::QtRuntime(FormWidget& form, Options options)
    : form_(form),
      clock_(MakeSystemPacerClock()),
      pacer_(*clock_, options.pacing),
      random_(options.seed),
      caption_(form.lblSleep()->text().toStdString()),
      userHold_(std::make_unique<UserHold>(form, [this] { RequestClose(); })),
      watch_(WatchWindow(form, {.closeRequested =
                                    [this] {
                                        if (dispatching_) {
                                            RequestClose();
                                        }
                                    },
                                .destroyed = [this] { WindowDestroyed(); }}))
{
}

QtRuntime::~QtRuntime() = default;

void QtRuntime::Line(float x1, float y1, float x2, float y2, Colour colour)
{
    // The previous pause ends when the next step starts to draw.
    pausing_ = false;
    pacer_.Settle();
    form_.picture().DrawLine(x1, y1, x2, y2, PixelFor(colour));
}

void QtRuntime::Cls()
{
    pausing_ = false;
    pacer_.Settle();
    form_.picture().Clear(PixelFor(backColor_));
    Flush();
}

Pixel QtRuntime::PixelFor(Colour colour) const
{
    // Only system colours need the palette; an Rgb value is a pixel already.
    return (colour & kSystemColourFlag) != 0U ? ToPixel(ToQColor(colour, form_.palette())) : PixelOf(colour);
}

Colour QtRuntime::BackColor() { return backColor_; }

void QtRuntime::Caption(std::string_view text)
{
    // A pause writes the same caption thousands of times with nothing drawn
    // in between: every round but the first is only the pacer's.
    if (pausing_ && text == caption_) [[likely]] {
        pacer_.Round();
        return;
    }
    StartPause(text);
    pacer_.Round();
}

void QtRuntime::StartPause(std::string_view text)
{
    // The first round shows the step and serves the window system.
    const bool firstRound = !pausing_;
    pausing_ = true;
    if (firstRound) {
        Flush();
    }
    if (caption_ != text) {
        caption_ = text;
        QLabel* label = form_.lblSleep();
        label->setText(ToQString(text));
        label->repaint();
    }
    if (firstRound) {
        // Steps closer together than this (pacing off) need not each ask:
        // nothing the window system sends waits on a millisecond.
        constexpr auto kServeEvery = std::chrono::milliseconds(1);
        const auto now = std::chrono::steady_clock::now();
        if (now - lastServed_ >= kServeEvery) {
            lastServed_ = now;
            ServeWindowSystem();
        }
    }
}

void QtRuntime::Randomize() { random_.Randomize(); }

float QtRuntime::RandomNext() { return random_.Next(); }

void QtRuntime::ShowMessageBox(std::string_view prompt, int buttons, std::string_view title)
{
    pausing_ = false;
    Flush();
    // What came in since the last step is served now, its input dropped: a
    // key pressed during the show must not answer the box.
    ServeWindowSystem();
    pacer_.Settle();
    QMessageBox box(IconOf(buttons), ToQString(title), ToQString(prompt), QMessageBox::Ok, &form_);
    // Closing the box with its title-bar button counts as OK.
    box.setEscapeButton(QMessageBox::Ok);
    // Its text sits in a child label; screen readers speak an alert's
    // description when it appears.
    box.setAccessibleDescription(box.text());
    box.exec();
    pacer_.Restart();
}

void QtRuntime::ServeWindowSystem()
{
    QObject* const app = QCoreApplication::instance();
    app->installEventFilter(userHold_.get());
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    app->removeEventFilter(userHold_.get());
    if (windowGone_) {
        throw WindowGone{};
    }
}

void QtRuntime::WindowDestroyed()
{
    windowGone_ = true;
    // Ends the event loop, or the greeting's; a show in its steps stops at the next one.
    QCoreApplication::exit(0);
}

void QtRuntime::Flush()
{
    const PixelRect dirty = form_.picture().ToLogical(form_.picture().TakeDirty());
    if (!dirty.Empty() && form_.isVisible()) {
        form_.repaint(dirty.left, dirty.top, dirty.Width(), dirty.Height());
    }
}

bool QtRuntime::Dispatch(const std::function<void()>& handler)
{
    // A press that reaches the button while a show runs (only possible while
    // a message box runs the event loop) must not start a second show inside it.
    if (dispatching_) {
        return true;
    }
    dispatching_ = true;
    std::optional<QString> message;
    try {
        // Accessibility requests are answered during a show; none may act on it.
        const AccessibleActionsHeld held;
        handler();
    } catch (const WindowGone&) {            // the program is already ending
    } catch (const std::exception& error) {  // run-time errors, and anything the library throws
        message = QString::fromUtf8(error.what());
    }
    dispatching_ = false;
    pausing_ = false;
    if (windowGone_) {
        return true;
    }
    if (!message) {
        // A close that came during the show is done now that the greeting is answered.
        if (std::exchange(closeRequested_, false)) {
            form_.close();
        }
        return true;
    }
    Flush();
    std::fprintf(stderr, "vantrel: run-time error: %s\n", qPrintable(*message));
    QMessageBox::critical(&form_, ToQString(kProductName),
                          QStringLiteral("Vantrel stopped because of a run-time error:\n\n") + *message);
    form_.hide();
    // Only a running event loop can end; outside one (start-up, tests) the
    // caller sees false, and no exit is left pending for a later loop.
    if (QThread::currentThread()->loopLevel() > 0) {
        QCoreApplication::exit(1);
    }
    return false;
}

}  // namespace vantrel
