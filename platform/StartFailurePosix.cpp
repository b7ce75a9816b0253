#include "platform/StartFailure.h"

namespace vantrel::platform {

// No message box here that works without a toolkit, and the toolkit is what
// may have failed: stderr, which desktops keep in the session's log, is all.
bool HasStartFailureBox() { return false; }

void ShowStartFailureBox(std::string_view /*title*/, std::string_view /*text*/) {}

}  // namespace vantrel::platform
