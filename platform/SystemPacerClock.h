#pragma once

#include "core/Pacer.h"

#include <memory>

namespace vantrel {

// The operating system's monotonic clock and its finest sleep; one
// implementation file per OS.
[[nodiscard]] std::unique_ptr<PacerClock> MakeSystemPacerClock();

}  // namespace vantrel
