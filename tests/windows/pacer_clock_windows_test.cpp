#include "PacerClockChecks.h"
#include "platform/PacerClockWindows.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

// Systems without high-resolution timers get an ordinary timer with the
// system timer's period lowered: it must sleep as well, and still do so after
// Rest has given the period back. (The system clock's own tests cover the
// high-resolution timer.)
TEST(WindowsPacerClock, RaisedPeriodFallbackSleepsAndNeverWakesEarly)
{
    const auto clock = MakeWindowsPacerClock(WindowsTimer::RaisedPeriod);
    testsupport::ExpectNeverWakesEarly(*clock);
    testsupport::ExpectPausesSleep(*clock);
    clock->Rest();
    testsupport::ExpectNeverWakesEarly(*clock);
}

}  // namespace
}  // namespace vantrel
