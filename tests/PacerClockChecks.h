#pragma once

#include "CpuTime.h"
#include "core/Pacer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace vantrel::testsupport {

// What the pacer needs from a real clock, checked on the platform's own.

// SleepUntil may wake late, never early: an early wake would make the pacer
// spin away the rest (a sleep that drops its sub-millisecond part does).
inline void ExpectNeverWakesEarly(PacerClock& clock)
{
    using std::chrono::microseconds;
    int early = 0;
    std::chrono::nanoseconds worst{0};
    for (int i = 0; i < 200; ++i) {
        const auto when = clock.Now() + microseconds(50 * (1 + i % 40));  // 50 us .. 2 ms
        clock.SleepUntil(when);
        const auto woke = clock.Now();
        if (woke < when) {
            ++early;
            worst = std::max(worst, std::chrono::nanoseconds(when - woke));
        }
    }
    EXPECT_EQ(early, 0) << "woke up to " << worst.count() << " ns early";
    // A deadline already gone returns at once.
    clock.SleepUntil(clock.Now() - std::chrono::milliseconds(1));
}

// Short pauses (the show's are 5 ms each) spend most of their time asleep:
// the pacer spins only the last tens of microseconds of each. A wait that
// spins takes a whole core, CPU time equal to wall time; the bound only
// catches that.
inline void ExpectPausesSleep(PacerClock& clock)
{
    Pacer pacer(clock);
    constexpr int kPauses = 1000;
    constexpr int kRoundsPerPause = 200;  // 1 ms
    const auto cpuStart = ThreadCpuTime();
    const auto wallStart = std::chrono::steady_clock::now();
    for (int pause = 0; pause < kPauses; ++pause) {
        for (int round = 0; round < kRoundsPerPause; ++round) {
            pacer.Round();
        }
        pacer.Settle();
    }
    const auto wall = std::chrono::steady_clock::now() - wallStart;
    const auto cpu = ThreadCpuTime() - cpuStart;
    pacer.Restart();
    using Ms = std::chrono::duration<double, std::milli>;
    std::printf("%d pauses of 1 ms: wall %.0f ms, CPU %.0f ms (%.0f %%)\n", kPauses, Ms(wall).count(), Ms(cpu).count(),
                100.0 * Ms(cpu).count() / Ms(wall).count());
    EXPECT_GE(wall, std::chrono::milliseconds(kPauses)) << "the pauses were cut short";
    EXPECT_LT(cpu * 2, wall) << "the pauses spin rather than sleep";
}

}  // namespace vantrel::testsupport
