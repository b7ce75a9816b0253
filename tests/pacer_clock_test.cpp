#include "PacerClockChecks.h"
#include "platform/SystemPacerClock.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

// The clock the program gets on this platform, through the pacer's interface.
TEST(SystemPacerClock, NeverWakesBeforeTheDeadline)
{
    const auto clock = MakeSystemPacerClock();
    testsupport::ExpectNeverWakesEarly(*clock);
}

TEST(SystemPacerClock, PausesSleepRatherThanSpin)
{
    const auto clock = MakeSystemPacerClock();
    testsupport::ExpectPausesSleep(*clock);
    // Rest gives back what the waits hold; the next show waits as well.
    clock->Rest();
    testsupport::ExpectNeverWakesEarly(*clock);
}

}  // namespace
}  // namespace vantrel
