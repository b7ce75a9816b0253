#pragma once

#include <windows.h>

#include <string_view>

struct IAccPropServices;

namespace vantrel {

// The accessible name and description of a window, set through the system's
// annotation service over what its title would give: screen readers say
// "Vantrel v2.0" rather than the caption with its blanks and credit. Cleared
// again before the window goes. Needs COM on the thread; without it (or
// without the service) the window keeps its defaults.
class WindowAnnotation {
public:
    WindowAnnotation(HWND window, std::wstring_view name, std::wstring_view description);
    ~WindowAnnotation();
    WindowAnnotation(const WindowAnnotation&) = delete;
    WindowAnnotation& operator=(const WindowAnnotation&) = delete;
    WindowAnnotation(WindowAnnotation&&) = delete;
    WindowAnnotation& operator=(WindowAnnotation&&) = delete;

private:
    HWND window_;
    IAccPropServices* services_ = nullptr;
};

}  // namespace vantrel
