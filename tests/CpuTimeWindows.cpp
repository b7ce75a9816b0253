#include "CpuTime.h"

#include "platform/WindowsApi.h"

#include <cstdint>

namespace vantrel::testsupport {

std::chrono::nanoseconds ThreadCpuTime()
{
    FILETIME created{};
    FILETIME exited{};
    FILETIME kernel{};
    FILETIME user{};
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32U) | t.dwLowDateTime;
    };
    // FILETIME counts 100 ns units.
    return std::chrono::nanoseconds(static_cast<std::int64_t>((ticks(kernel) + ticks(user)) * 100U));
}

}  // namespace vantrel::testsupport
