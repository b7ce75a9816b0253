#include "platform/SystemPacerClock.h"

#include <thread>

namespace vantrel {
namespace {

class SteadyPacerClock final : public PacerClock {
public:
    [[nodiscard]] TimePoint Now() override { return std::chrono::steady_clock::now(); }
    void SleepUntil(TimePoint when) override { std::this_thread::sleep_until(when); }
};

}  // namespace

std::unique_ptr<PacerClock> MakeSystemPacerClock() { return std::make_unique<SteadyPacerClock>(); }

}  // namespace vantrel
