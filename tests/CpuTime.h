#pragma once

#include <chrono>

namespace vantrel::testsupport {

// CPU time the calling thread has used so far: what a wait that spins
// costs and a wait that sleeps does not. One implementation per platform.
[[nodiscard]] std::chrono::nanoseconds ThreadCpuTime();

}  // namespace vantrel::testsupport
