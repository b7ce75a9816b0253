#include "core/frmLines.h"
#include "frontends/qt/FormWidget.h"
#include "frontends/qt/QtRuntime.h"
#include "platform/StartFailure.h"

#include <QApplication>
#include <QPushButton>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace vantrel {

namespace {

QtMessageHandler g_previousHandler = nullptr;
// Messages held back while the platform starts: if it fails, the first of
// them is usually the real reason ("could not connect to display :1").
QStringList* g_startMessages = nullptr;

// Qt ends with abort() when it cannot open a display; a user gets one clear
// line and exit status 1 instead of a core dump.
void StopOnFatal(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    // Qt's xcb plugin says so, then calls exit() from inside whatever event
    // processing noticed; end here at once, with one line.
    if (message.startsWith(QLatin1String("The X11 connection broke"))) {
        std::fputs("vantrel: lost the display (the X11 connection broke)\n", stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    if (type == QtFatalMsg) {
        const QString reason =
            g_startMessages != nullptr && !g_startMessages->isEmpty() ? g_startMessages->constFirst() : message;
        ReportStartFailure(reason.section(QLatin1Char('\n'), 0, 0).toStdString());
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
        ReportStartFailure("no display to open the window on (DISPLAY is not set)");
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
    // No option of Qt's may change the window or read a file: Qt gets the
    // program's name alone.
    if (argc > 1) {
        std::fputs("vantrel: command-line arguments are ignored\n", stderr);
    }
    static int qtArgc = 1;
    QApplication app(qtArgc, argv);
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
