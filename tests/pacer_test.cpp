#include "core/Pacer.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantrel {
namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

// A clock that only moves when told to, or when the pacer sleeps or spins.
class FakeClock final : public PacerClock {
public:
    TimePoint Now() override
    {
        ++reads;
        const TimePoint t = now;
        now += spinStep;  // every read while spinning costs a little time
        return t;
    }
    void SleepUntil(TimePoint when) override
    {
        sleeps.push_back(when - now);
        if (when > now) {
            now = when;
        }
        woke = now;
    }
    void Advance(std::chrono::nanoseconds d) { now += d; }

    TimePoint now{};
    std::chrono::nanoseconds spinStep{0};
    std::vector<std::chrono::nanoseconds> sleeps;
    TimePoint woke{};
    int reads = 0;
};

struct PacerTest : ::testing::Test {
    FakeClock clock;
    // No spinning: the fake clock only moves when the pacer sleeps.
    Pacer pacer{clock, Pacer::Config{.spin = std::chrono::nanoseconds(0)}};

    void Pause(int rounds)
    {
        for (int i = 0; i < rounds; ++i) {
            pacer.Round();
        }
        pacer.Settle();
    }
};

TEST_F(PacerTest, RoundsAdvanceTheDeadlineByFiveMicrosecondsEach)
{
    const auto start = clock.now;
    Pause(1000);
    EXPECT_EQ(clock.now - start, milliseconds(5));
    Pause(1);
    EXPECT_EQ(clock.now - start, milliseconds(5) + microseconds(5));
}

TEST_F(PacerTest, DrawingTimeIsAbsorbedSoTheTotalStaysExact)
{
    const auto start = clock.now;
    for (int step = 0; step < 100; ++step) {
        clock.Advance(microseconds(700));  // drawing between two pauses
        Pause(1000);
    }
    // 700 us of drawing per step ran inside the pauses, not on top of them.
    EXPECT_EQ(clock.now - start, milliseconds(500) + microseconds(700));
}

TEST_F(PacerTest, SlowDrawingFallsBehindButCatchesUpWithinTheSlack)
{
    const auto start = clock.now;
    clock.Advance(microseconds(1));
    Pause(1000);                     // deadline start + 5 ms
    clock.Advance(milliseconds(8));  // one slow step: 3 ms late
    Pause(1000);                     // deadline start + 10 ms: already passed
    EXPECT_EQ(clock.now - start, milliseconds(13) + microseconds(1));
    Pause(1000);  // start + 15 ms: the lost time is made up
    EXPECT_EQ(clock.now - start, milliseconds(15) + microseconds(1));
}

TEST_F(PacerTest, NoCatchUpAfterIdleTime)
{
    Pause(1000);
    clock.Advance(std::chrono::seconds(3));  // idle, or a message box was open
    const auto resumed = clock.now;
    Pause(1000);
    EXPECT_EQ(clock.now - resumed, milliseconds(5));
}

TEST_F(PacerTest, RestartForgetsTheDeadline)
{
    Pause(1000);
    for (int i = 0; i < 500; ++i) {
        pacer.Round();  // owed, not yet waited for
    }
    pacer.Restart();
    // A greeting answered at once: far less idle time than would start afresh
    // by itself, so only Restart keeps the next pause from being cut short.
    clock.Advance(milliseconds(10));
    const auto resumed = clock.now;
    Pause(1000);
    EXPECT_EQ(clock.now - resumed, milliseconds(5));
}

TEST(PacerSpin, SleepsMostOfThePauseAndSpinsOnlyTheEnd)
{
    FakeClock clock;
    Pacer pacer(clock);
    clock.spinStep = std::chrono::nanoseconds(100);
    const auto start = clock.now;
    for (int i = 0; i < 1000; ++i) {
        pacer.Round();
    }
    pacer.Settle();
    ASSERT_EQ(clock.sleeps.size(), 1U);
    EXPECT_GE(clock.sleeps.front(), microseconds(4700));
    EXPECT_LE(clock.now - clock.woke, microseconds(200)) << "spun after waking";
    EXPECT_GE(clock.now - start, milliseconds(5));
}

TEST_F(PacerTest, LongPausesWaitInsideTheRoundsToo)
{
    const auto start = clock.now;
    for (int i = 0; i < 32767; ++i) {
        pacer.Round();
    }
    // Nothing drawn yet the rounds have already waited for all but the last stretch.
    EXPECT_GT(clock.now - start, milliseconds(140));
    pacer.Settle();
    EXPECT_EQ(clock.now - start, microseconds(5 * 32767));
}

TEST_F(PacerTest, RoundsReadTheClockOnlyWhenThePauseIsTaken)
{
    for (int i = 0; i < 1000; ++i) {
        pacer.Round();
    }
    EXPECT_EQ(clock.reads, 0);
    pacer.Settle();
    EXPECT_LE(clock.reads, 3);
    // Lines drawn after the wait have nothing left to wait for.
    const int afterPause = clock.reads;
    for (int line = 0; line < 24; ++line) {
        pacer.Settle();
    }
    EXPECT_EQ(clock.reads, afterPause);
}

TEST(PacerOff, ZeroRoundLengthNeverWaitsNorReadsTheClock)
{
    FakeClock clock;
    Pacer pacer(clock, Pacer::Config{.round = std::chrono::nanoseconds(0)});
    for (int i = 0; i < 5000; ++i) {
        pacer.Round();
    }
    pacer.Settle();
    EXPECT_EQ(clock.reads, 0);
    EXPECT_TRUE(clock.sleeps.empty());
}

}  // namespace
}  // namespace vantrel
