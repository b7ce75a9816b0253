#pragma once

#include <chrono>

namespace vantrel {

// Time source of the pacer, injectable so tests can run it on a fake clock.
class PacerClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~PacerClock() = default;
    [[nodiscard]] virtual TimePoint Now() = 0;
    virtual void SleepUntil(TimePoint when) = 0;

protected:
    PacerClock() = default;
    PacerClock(const PacerClock&) = default;
    PacerClock& operator=(const PacerClock&) = default;
    PacerClock(PacerClock&&) = default;
    PacerClock& operator=(PacerClock&&) = default;
};

class SteadyPacerClock final : public PacerClock {
public:
    [[nodiscard]] TimePoint Now() override;
    void SleepUntil(TimePoint when) override;
};

// Gives every round of the show's pause the same length on any machine.
//
// Each round pushes a deadline forward by one round; the wait for it happens
// when the deadline runs far ahead or when the next visible step (a line, a
// clear, a message box) calls Settle. Because the deadline carries over from
// pause to pause, the time spent drawing is absorbed and a whole show takes
// rounds x round length. The wait sleeps until shortly before the deadline
// and spins only the rest, so a show does not occupy a core.
class Pacer {
public:
    using Duration = std::chrono::nanoseconds;

    struct Config {
        Duration round = std::chrono::microseconds(5);
        // Spin, rather than sleep, this close to the deadline.
        Duration spin = std::chrono::microseconds(150);
        // A deadline this far behind means the program was idle (or a message
        // box was open): start afresh rather than race to catch up.
        Duration restartAfter = std::chrono::milliseconds(50);
        // Wait inside the rounds once the deadline is this far ahead.
        Duration maxAhead = std::chrono::milliseconds(20);
    };

    explicit Pacer(PacerClock& clock) : Pacer(clock, Config{}) {}
    Pacer(PacerClock& clock, Config config) : clock_(clock), config_(config) {}

    void Round();
    void Settle();
    // Forget the deadline; the next round starts from now.
    void Restart() noexcept { pending_ = false; }

    [[nodiscard]] bool Enabled() const noexcept { return config_.round.count() > 0; }

private:
    PacerClock& clock_;
    Config config_;
    PacerClock::TimePoint deadline_{};
    bool pending_ = false;
};

}  // namespace vantrel
