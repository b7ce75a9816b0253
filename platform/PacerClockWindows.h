#pragma once

#include "platform/SystemPacerClock.h"

#include <memory>

namespace vantrel {

// How the Windows clock waits. A plain wait overshoots by up to the system
// timer's period (15.6 ms by default), so pauses would come in bursts.
enum class WindowsTimer {
    // A high-resolution waitable timer (Windows 10 1803 and later).
    HighResolution,
    // An ordinary waitable timer with the system timer's period lowered to
    // 1 ms from the first wait until Rest().
    RaisedPeriod,
};

// The clock with a given kind of wait. MakeSystemPacerClock takes the high
// resolution timer where the system has it and the raised period elsewhere;
// tests ask for each.
[[nodiscard]] std::unique_ptr<PacerClock> MakeWindowsPacerClock(WindowsTimer timer);

}  // namespace vantrel
