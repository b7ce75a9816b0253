#include "runtime/QtRuntime.h"

#include "runtime/QtColours.h"
#include "window/FormWidget.h"
#include "window/frmLines.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <utility>

namespace vantrel {
namespace {

QString ToQString(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

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
      caption_(form.lblSleep()->text().toStdString())
{
}

void QtRuntime::Line(float x1, float y1, float x2, float y2, Colour colour)
{
    // The previous pause ends when the next step starts to draw.
    pacer_.Settle();
    form_.canvas().DrawLine(x1, y1, x2, y2, ToQColor(colour, form_.palette()));
    drawn_ = true;
}

void QtRuntime::Cls()
{
    pacer_.Settle();
    form_.canvas().Clear(ToQColor(backColor_, form_.palette()));
    Flush();
}

Colour QtRuntime::BackColor() { return backColor_; }

void QtRuntime::Caption(std::string_view text)
{
    // A pause writes the same caption a thousand times with nothing drawn in
    // between: after the first, only the pacer's round is left to do.
    if (drawn_) {
        Flush();
    }
    if (caption_ != text) {
        caption_ = text;
        QLabel* label = form_.lblSleep();
        label->setText(ToQString(text));
        label->repaint();
    }
    pacer_.Round();
}

void QtRuntime::Randomize() { random_.Randomize(); }

float QtRuntime::RandomNext() { return random_.Next(); }

void QtRuntime::ShowMessageBox(std::string_view prompt, int buttons, std::string_view title)
{
    Flush();
    pacer_.Settle();
    QMessageBox box(IconOf(buttons), ToQString(title), ToQString(prompt), QMessageBox::Ok, &form_);
    // Closing the box with its title-bar button counts as OK.
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
    pacer_.Restart();
}

void QtRuntime::Flush()
{
    drawn_ = false;
    const QRect dirty = form_.canvas().TakeDirty();
    if (!dirty.isEmpty() && form_.isVisible()) {
        form_.repaint(dirty);
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
        handler();
    } catch (const std::exception& error) {  // run-time errors, and anything the library throws
        message = QString::fromUtf8(error.what());
    }
    dispatching_ = false;
    if (!message) {
        return true;
    }
    Flush();
    std::fprintf(stderr, "vantrel: run-time error: %s\n", qPrintable(*message));
    QMessageBox::critical(&form_, ToQString(kProductName),
                          QStringLiteral("Vantrel stopped because of a run-time error:\n\n") + *message);
    form_.hide();
    QCoreApplication::exit(1);
    return false;
}

namespace {

QtMessageHandler g_previousHandler = nullptr;
// Messages held back while the platform starts: if it fails, the first of
// them is usually the real reason ("could not connect to display :1").
QStringList* g_startMessages = nullptr;

// Qt ends with abort() when it cannot open a display; a user gets one clear
// line and exit status 1 instead of a core dump.
void StopOnFatal(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg) {
        const QString reason =
            g_startMessages != nullptr && !g_startMessages->isEmpty() ? g_startMessages->constFirst() : message;
        std::fprintf(stderr, "vantrel: cannot start: %s\n", qPrintable(reason.section(QLatin1Char('\n'), 0, 0)));
        std::fflush(stderr);
        std::_Exit(1);
    }
    if (g_startMessages != nullptr) {
        g_startMessages->append(message);
        return;
    }
    if (g_previousHandler != nullptr) {
        g_previousHandler(type, context, message);
    }
}

bool HasDisplay()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

}  // namespace

int RunProgram(int argc, char** argv, const StartHooks& hooks)
{
    if (!HasDisplay()) {
        std::fputs("vantrel: cannot start: no display to open the window on (DISPLAY is not set)\n", stderr);
        return 1;
    }
    QStringList startMessages;
    g_startMessages = &startMessages;
    g_previousHandler = qInstallMessageHandler(StopOnFatal);

    // Shared-memory images make every repaint that overlaps the previous one
    // wait for the X server; a flying star always does. Plain requests are
    // several times cheaper per animation step.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", "1");
    }
    QApplication app(argc, argv);
    // Started: pass on what was held back, as it was said.
    g_startMessages = nullptr;
    for (const QString& message : std::as_const(startMessages)) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    }
    QApplication::setApplicationName(QStringLiteral("vantrel"));
    // No display name: Qt would append it to the window's caption.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.vantrel.Vantrel"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));

    FormWidget window;
    QtRuntime runtime(window);
    frmLines form(runtime);
    QApplication::setWindowIcon(window.windowIcon());

    const bool loaded = runtime.Dispatch([&] {
        form.Form_Load();
        if (hooks.afterLoad) {
            hooks.afterLoad(form);
        }
    });
    if (!loaded) {
        return 1;
    }
    QObject::connect(window.cmdStart(), &QPushButton::clicked, &window, [&] {
        runtime.Dispatch([&] {
            if (hooks.beforeClick) {
                hooks.beforeClick(form);
            }
            form.cmdStart_Click();
        });
    });
    window.show();
    return QApplication::exec();
}

}  // namespace vantrel
