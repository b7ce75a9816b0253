#pragma once

#include <chrono>
#include <memory>

namespace vantrel {

// Time source and wait of the pacer. One implementation per platform
// (platform/SystemPacerClock.h); tests inject a fake.
class PacerClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~PacerClock() = default;
    [[nodiscard]] virtual TimePoint Now() = 0;
    // Sleeps until about `when`; may wake a little late, never much early.
    virtual void SleepUntil(TimePoint when) = 0;
    // The show is over (or waits on the user): give back whatever the waits
    // hold, such as a raised system timer resolution.
    virtual void Rest() {}

protected:
    PacerClock() = default;
    PacerClock(const PacerClock&) = default;
    PacerClock& operator=(const PacerClock&) = default;
    PacerClock(PacerClock&&) = default;
    PacerClock& operator=(PacerClock&&) = default;
};

// Gives every round of the show's pause the same length on any machine.
//
// A round only pushes a deadline forward; the clock is read and the wait
// taken when the next visible step (a line, a clear, a message box) calls
// Settle, or when the rounds have run far ahead. Because the deadline carries
// over from pause to pause, the time spent drawing is absorbed and a whole
// show takes rounds x round length. The wait sleeps until shortly before the
// deadline and spins only the rest, so a show does not occupy a core.
class Pacer {
public:
    using Duration = std::chrono::nanoseconds;

    struct Config {
        Duration round = std::chrono::microseconds(5);
        // Spin, rather than sleep, this close to the deadline: about what a
        // sleep overshoots by on a desktop kernel. A wake that comes later
        // still is made up by the next pause, since the deadline carries over.
        Duration spin = std::chrono::microseconds(50);
        // A deadline this far behind means the program was held up (idle, a
        // message box, a suspended machine): start afresh rather than race.
        Duration restartAfter = std::chrono::milliseconds(50);
        // Wait inside the rounds once this much is owed.
        Duration maxAhead = std::chrono::milliseconds(20);
    };

    explicit Pacer(PacerClock& clock) : Pacer(clock, Config{}) {}
    Pacer(PacerClock& clock, Config config) : clock_(clock), config_(config) {}

    void Round()
    {
        if (!Enabled()) {
            return;
        }
        owed_ += config_.round;
        if (owed_ > config_.maxAhead) {
            Settle();
        }
    }
    // Waits for the deadline of the rounds so far.
    void Settle();
    // Forget the deadline; the next pause starts from when it is taken.
    void Restart() noexcept
    {
        started_ = false;
        owed_ = Duration::zero();
        clock_.Rest();
    }

    [[nodiscard]] bool Enabled() const noexcept { return config_.round.count() > 0; }

private:
    PacerClock& clock_;
    Config config_;
    PacerClock::TimePoint deadline_{};
    Duration owed_{};  // rounds since the last wait
    bool started_ = false;
};

}  // namespace vantrel
