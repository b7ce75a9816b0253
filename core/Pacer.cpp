#include "core/Pacer.h"

namespace vantrel {

void Pacer::Settle()
{
    if (owed_ == Duration::zero()) {
        return;  // waited for every round already
    }
    auto now = clock_.Now();
    if (!started_ || deadline_ + config_.restartAfter < now) {
        deadline_ = now;
        started_ = true;
    }
    deadline_ += owed_;
    owed_ = Duration::zero();
    if (deadline_ - now > config_.spin) {
        clock_.SleepUntil(deadline_ - config_.spin);
        now = clock_.Now();
    }
    while (now < deadline_) {
        now = clock_.Now();
    }
}

}  // namespace vantrel
