#pragma once

// Shared by the benchmarks: the show as the recording fake plays it, a window
// the platform has really put on screen, and a greeting answered at once.

#include "core/frmLines.h"
#include "frontends/recording/RecordingRuntime.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <array>
#include <chrono>
#include <cstdint>
#include <vector>

namespace vantrel::bench {

inline constexpr std::uint32_t kSeed = 4242U;
inline constexpr std::chrono::microseconds kPause{5000};

// Every runtime call of one press, seeded, as the window would receive them.
inline std::vector<Event> RecordPress(std::uint32_t seed = kSeed)
{
    RecordingRuntime recording(seed);
    frmLines form(recording);
    form.Form_Load();
    form.cmdStart_Click();
    recording.Finish();
    return recording.Events();
}

// One step of the fly-in: the star erased, then drawn one move on.
using Move = std::array<Event, 24>;

inline std::vector<Move> FlyInMoves(const std::vector<Event>& press)
{
    std::vector<Move> moves;
    Move move;
    std::size_t n = 0;
    for (const Event& e : press) {
        if (e.type == Event::Type::Cls) {
            break;
        }
        if (e.type != Event::Type::Line) {
            continue;
        }
        move[n++] = e;
        if (n == move.size()) {
            moves.push_back(move);
            n = 0;
        }
    }
    return moves;
}

// Shows the window and waits until the platform has exposed and painted it,
// so nothing measured afterwards pays for mapping it.
inline bool ShowExposed(QWidget& window)
{
    window.show();
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (window.windowHandle() == nullptr || !window.windowHandle()->isExposed()) {
        if (std::chrono::steady_clock::now() > until) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    // Let the first full paint go out before anything is measured.
    QEventLoop settle;
    QTimer::singleShot(100, &settle, &QEventLoop::quit);
    settle.exec();
    return true;
}

// Presses OK on the modal message box as soon as its event loop first runs.
class ImmediateAnswer {
public:
    ImmediateAnswer()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box != nullptr) {
                ++answered_;
                box->button(QMessageBox::Ok)->click();
            }
        });
        timer_.start(0);
    }
    [[nodiscard]] int answered() const noexcept { return answered_; }

private:
    QTimer timer_;
    int answered_ = 0;
};

}  // namespace vantrel::bench
