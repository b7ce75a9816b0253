#pragma once

#include <string>
#include <string_view>

namespace vantrel::platform {

// UTF-8 as the UTF-16 the Windows API takes. Windows only.
[[nodiscard]] std::wstring Widen(std::string_view utf8);

}  // namespace vantrel::platform
