#pragma once

#include <string>
#include <string_view>

namespace vantrel {

// Set to anything but "" or "0", keeps the start-failure box away: an
// unattended run (a CI machine, a script) would wait on it forever.
inline constexpr std::string_view kNoStartBoxVariable = "VANTREL_NO_START_BOX";

// What a failed start tells the user.
struct StartFailureNotice {
    std::string line;     // for stderr: "vantrel: cannot start: <reason>\n"
    std::string boxText;  // for the message box, where there is one
    bool box = false;
};

// Works out the notice with no platform in sight, so every platform's choice
// can be tested anywhere. Only the reason's first line is kept. The box is
// shown where the platform has one that needs nothing but the system
// (Windows, macOS: their GUI programs have no console, so stderr alone would
// reach nobody), unless `noBoxSetting` (the variable above, null when unset)
// turns it off.
[[nodiscard]] StartFailureNotice PlanStartFailure(std::string_view reason, bool platformHasBox,
                                                  const char* noBoxSetting);

// Prints the reason to stderr and, where the platform has a native message
// box, shows it there too and returns once the box is closed. Uses no Qt:
// Qt may be what failed to start.
void ReportStartFailure(std::string_view reason);

namespace platform {

// One implementation file per platform.
[[nodiscard]] bool HasStartFailureBox();
void ShowStartFailureBox(std::string_view title, std::string_view text);

}  // namespace platform

}  // namespace vantrel
