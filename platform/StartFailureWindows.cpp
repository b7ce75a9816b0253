#include "platform/StartFailure.h"
#include "platform/WideText.h"

#include "platform/WindowsApi.h"

namespace vantrel::platform {

// The program is a GUI-subsystem executable: started from the desktop it has
// no console, and its stderr goes nowhere.
bool HasStartFailureBox() { return true; }

void ShowStartFailureBox(std::string_view title, std::string_view text)
{
    MessageBoxW(nullptr, Widen(text).c_str(), Widen(title).c_str(), MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace vantrel::platform
