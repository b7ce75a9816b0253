#include "platform/StartFailure.h"

#include "core/frmLines.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace vantrel {

StartFailureNotice PlanStartFailure(std::string_view reason, bool platformHasBox, const char* noBoxSetting)
{
    // Platform messages may run on over several lines, and Windows ends its own in CR LF.
    reason = reason.substr(0, reason.find_first_of("\r\n"));
    while (!reason.empty() && reason.back() == ' ') {
        reason.remove_suffix(1);
    }
    if (reason.empty()) {
        reason = "no reason given";
    }
    const std::string_view off = noBoxSetting != nullptr ? std::string_view(noBoxSetting) : std::string_view();

    StartFailureNotice notice;
    notice.line = "vantrel: cannot start: " + std::string(reason) + "\n";
    notice.boxText = "Vantrel cannot start: " + std::string(reason);
    notice.box = platformHasBox && (off.empty() || off == "0");
    return notice;
}

void ReportStartFailure(std::string_view reason)
{
    // Nothing in the program writes the environment once it runs, so reading it is safe on any thread.
    const char* noBox = std::getenv(std::string(kNoStartBoxVariable).c_str());  // NOLINT(concurrency-mt-unsafe)
    const StartFailureNotice notice = PlanStartFailure(reason, platform::HasStartFailureBox(), noBox);
    std::fputs(notice.line.c_str(), stderr);
    std::fflush(stderr);
    if (notice.box) {
        platform::ShowStartFailureBox(kProductName, notice.boxText);
    }
}

}  // namespace vantrel
