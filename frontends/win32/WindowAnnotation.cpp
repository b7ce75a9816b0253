#include "frontends/win32/WindowAnnotation.h"

// The annotation GUIDs are defined here rather than taken from a library.
#include <initguid.h>
#include <objbase.h>
#include <oleacc.h>

#include <array>
#include <string>

namespace vantrel {
namespace {

// The window object (what a screen reader announces when the window comes to
// the front) and its client (the object the controls are children of).
constexpr std::array<LONG, 2> kObjects{OBJID_WINDOW, OBJID_CLIENT};

}  // namespace

WindowAnnotation::WindowAnnotation(HWND window, std::wstring_view name, std::wstring_view description) : window_(window)
{
    void* services = nullptr;
    if (FAILED(
            CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices, &services))) {
        return;
    }
    services_ = static_cast<IAccPropServices*>(services);
    const std::wstring nameText(name);
    const std::wstring descriptionText(description);
    for (const LONG object : kObjects) {
        services_->SetHwndPropStr(window_, static_cast<DWORD>(object), CHILDID_SELF, PROPID_ACC_NAME, nameText.c_str());
        services_->SetHwndPropStr(window_, static_cast<DWORD>(object), CHILDID_SELF, PROPID_ACC_DESCRIPTION,
                                  descriptionText.c_str());
    }
}

WindowAnnotation::~WindowAnnotation()
{
    if (services_ == nullptr) {
        return;
    }
    std::array<MSAAPROPID, 2> properties{PROPID_ACC_NAME, PROPID_ACC_DESCRIPTION};
    for (const LONG object : kObjects) {
        services_->ClearHwndProps(window_, static_cast<DWORD>(object), CHILDID_SELF, properties.data(),
                                  static_cast<int>(properties.size()));
    }
    services_->Release();
}

}  // namespace vantrel
