#include "platform/PacerClockWindows.h"

#include "platform/WindowsApi.h"
// windows.h first: mmsystem.h needs its types.
#include <mmsystem.h>

#include <algorithm>
#include <chrono>
#include <ratio>

namespace vantrel {
namespace {

// CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, missing from older SDK and MinGW headers.
constexpr DWORD kHighResolutionFlag = 0x00000002;
constexpr UINT kPeriodMs = 1;

// Due times of waitable timers count in 100 ns units.
using TimerTicks = std::chrono::duration<LONGLONG, std::ratio<1, 10'000'000>>;

class WaitableTimerClock final : public PacerClock {
public:
    explicit WaitableTimerClock(WindowsTimer kind)
    {
        if (kind == WindowsTimer::HighResolution) {
            timer_ = CreateWaitableTimerExW(nullptr, nullptr, kHighResolutionFlag, TIMER_ALL_ACCESS);
        }
        if (timer_ == nullptr) {
            // Older systems reject the flag (ERROR_INVALID_PARAMETER).
            timer_ = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
            raisePeriod_ = true;
        }
    }
    ~WaitableTimerClock() override
    {
        WaitableTimerClock::Rest();
        if (timer_ != nullptr) {
            CloseHandle(timer_);
        }
    }
    WaitableTimerClock(const WaitableTimerClock&) = delete;
    WaitableTimerClock& operator=(const WaitableTimerClock&) = delete;
    WaitableTimerClock(WaitableTimerClock&&) = delete;
    WaitableTimerClock& operator=(WaitableTimerClock&&) = delete;

    [[nodiscard]] TimePoint Now() override { return std::chrono::steady_clock::now(); }

    void SleepUntil(TimePoint when) override
    {
        if (raisePeriod_ && !periodRaised_) {
            periodRaised_ = timeBeginPeriod(kPeriodMs) == TIMERR_NOERROR;
        }
        // A timer may fire a hair before the steady clock gets there: wait
        // again for what is left rather than wake early.
        for (auto now = Now(); now < when; now = Now()) {
            Wait(std::chrono::ceil<TimerTicks>(when - now));
        }
    }

    void Rest() override
    {
        if (periodRaised_) {
            timeEndPeriod(kPeriodMs);
            periodRaised_ = false;
        }
    }

private:
    void Wait(TimerTicks length)
    {
        LARGE_INTEGER due{};
        due.QuadPart = -std::max<LONGLONG>(length.count(), 1);  // negative: relative to now
        if (timer_ != nullptr && SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, FALSE) != FALSE &&
            WaitForSingleObject(timer_, INFINITE) == WAIT_OBJECT_0) {
            return;
        }
        // No timer to be had: Sleep, rounded up so it never wakes early.
        const auto ms = std::chrono::ceil<std::chrono::milliseconds>(length).count();
        Sleep(static_cast<DWORD>(std::clamp<LONGLONG>(ms, 1, 1000)));
    }

    HANDLE timer_ = nullptr;
    bool raisePeriod_ = false;
    bool periodRaised_ = false;
};

}  // namespace

std::unique_ptr<PacerClock> MakeWindowsPacerClock(WindowsTimer timer)
{
    return std::make_unique<WaitableTimerClock>(timer);
}

std::unique_ptr<PacerClock> MakeSystemPacerClock() { return MakeWindowsPacerClock(WindowsTimer::HighResolution); }

}  // namespace vantrel
