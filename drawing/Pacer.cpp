#include "drawing/Pacer.h"

#include <thread>

namespace vantrel {

PacerClock::TimePoint SteadyPacerClock::Now() { return std::chrono::steady_clock::now(); }

void SteadyPacerClock::SleepUntil(TimePoint when) { std::this_thread::sleep_until(when); }

void Pacer::Round()
{
    if (!Enabled()) {
        return;
    }
    const auto now = clock_.Now();
    if (!pending_ || deadline_ + config_.restartAfter < now) {
        deadline_ = now;
        pending_ = true;
    }
    deadline_ += config_.round;
    if (deadline_ - now > config_.maxAhead) {
        Settle();
    }
}

void Pacer::Settle()
{
    if (!pending_) {
        return;
    }
    auto now = clock_.Now();
    if (deadline_ - now > config_.spin) {
        clock_.SleepUntil(deadline_ - config_.spin);
        now = clock_.Now();
    }
    while (now < deadline_) {
        now = clock_.Now();
    }
}

}  // namespace vantrel
