#pragma once

#include "core/Picture.h"

#include <string>

namespace vantrel {

// Writes the picture's device pixels as an 8-bit RGB PNG; false if the file
// cannot be written.
[[nodiscard]] bool SavePng(const Picture& picture, const std::string& path);

}  // namespace vantrel
