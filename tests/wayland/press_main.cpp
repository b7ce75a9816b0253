// The real program with a driver planted at load, for the Wayland test. Nothing
// can inject input into the compositor from outside, so the program presses its
// own button once its window is exposed, times the show to the greeting,
// answers the greeting, and closes its window when the test script has taken
// its screenshot.
//   vantrel-wayland-press OUTDIR
// On stderr, in line with what WAYLAND_DEBUG logs there:
//   vantrel-wayland: pressed
//   vantrel-wayland: greeting after 25.590 s
//   vantrel-wayland: greeting title: Vantrel v2.0
//   vantrel-wayland: greeting text: Merry Chritmas from the Quorvel!!!
//   vantrel-wayland: answered
// In OUTDIR: grab.png (the window's own picture after the show) and `ready`;
// the window closes once the script creates OUTDIR/done.
#include "frontends/qt/QtRuntime.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <chrono>
#include <cstdio>
#include <memory>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

QWidget* MainWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("frmLines")) {
            return widget;
        }
    }
    return nullptr;
}

bool Exposed(const QWidget* widget)
{
    return widget != nullptr && widget->windowHandle() != nullptr && widget->windowHandle()->isExposed();
}

void Say(const QString& line) { std::fprintf(stderr, "vantrel-wayland: %s\n", qPrintable(line)); }

// Polls the program's windows. It presses once; until the greeting is
// answered it then runs only inside the event loops the show opens (the window
// system served between steps, the greeting's own), and there it only looks
// for the greeting.
class Driver {
public:
    // The timer belongs to the application, which outlives every tick.
    explicit Driver(QString outDir) : outDir_(std::move(outDir)), poll_(new QTimer(qApp))
    {
        QObject::connect(poll_, &QTimer::timeout, [this] { Tick(); });
        poll_->start(5);
    }

private:
    enum class Stage { kWaitForWindow, kPressed, kAnswered, kWaitForScript };

    void Tick()
    {
        switch (stage_) {
        case Stage::kWaitForWindow:
            if (QWidget* window = MainWindow(); Exposed(window)) {
                stage_ = Stage::kPressed;
                // Pressed from outside this timer's own handler: Qt does not
                // deliver a timer again while its handler runs, and the
                // greeting must be found from inside the show.
                auto* button = window->findChild<QPushButton*>(QStringLiteral("cmdStart"));
                QTimer::singleShot(0, button, [this, button] {
                    Say(QStringLiteral("pressed"));
                    pressedAt_ = Clock::now();
                    button->click();
                });
            }
            return;
        case Stage::kPressed:
            AnswerGreeting();
            return;
        case Stage::kAnswered:
            HandOver();
            return;
        case Stage::kWaitForScript:
            if (QFile::exists(outDir_ + QStringLiteral("/done"))) {
                poll_->stop();
                MainWindow()->close();
            }
            return;
        }
    }

    void AnswerGreeting()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        if (!greetingSeen_) {
            greetingSeen_ = true;
            const std::chrono::duration<double> shown = Clock::now() - pressedAt_;
            Say(QStringLiteral("greeting after %1 s").arg(shown.count(), 0, 'f', 3));
            Say(QStringLiteral("greeting title: ") + box->windowTitle());
            Say(QStringLiteral("greeting text: ") + box->text());
        }
        // Answered once the box is on screen, so that it did reach the compositor.
        if (Exposed(box)) {
            stage_ = Stage::kAnswered;
            Say(QStringLiteral("answered"));
            box->button(QMessageBox::Ok)->click();
        }
    }

    // After the show: the window's own picture for the script, which then
    // takes the compositor's.
    void HandOver()
    {
        if (QApplication::activeModalWidget() != nullptr) {
            return;
        }
        QWidget* window = MainWindow();
        if (!window->grab().save(outDir_ + QStringLiteral("/grab.png"))) {
            Say(QStringLiteral("cannot write grab.png"));
        }
        QFile ready(outDir_ + QStringLiteral("/ready"));
        if (!ready.open(QIODevice::WriteOnly)) {
            Say(QStringLiteral("cannot write ready"));
        }
        stage_ = Stage::kWaitForScript;
    }

    QString outDir_;
    QTimer* poll_;
    Stage stage_ = Stage::kWaitForWindow;
    Clock::time_point pressedAt_;
    bool greetingSeen_ = false;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: vantrel-wayland-press OUTDIR\n", stderr);
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    // The hook runs once the application exists, before the window is shown.
    std::unique_ptr<Driver> driver;
    vantrel::StartHooks hooks;
    hooks.afterLoad = [&](vantrel::frmLines& /*form*/) { driver = std::make_unique<Driver>(outDir); };
    // Only the program name goes on to Qt.
    int qtArgc = 1;
    return vantrel::RunProgram(qtArgc, argv, hooks);
}
