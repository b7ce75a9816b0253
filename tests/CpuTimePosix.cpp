#include "CpuTime.h"

#include <ctime>

namespace vantrel::testsupport {

std::chrono::nanoseconds ThreadCpuTime()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec);
}

}  // namespace vantrel::testsupport
