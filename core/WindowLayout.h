#pragma once

#include "core/Picture.h"

#include <string>
#include <string_view>

namespace vantrel {

// The window frmLines as every front end lays it out: geometry in twips,
// texts as the user sees them.
struct TwipRect {
    int left;
    int top;
    int width;
    int height;
};
inline constexpr TwipRect kLabelTwips{9360, 6480, 1215, 495};
inline constexpr TwipRect kButtonTwips{4320, 6240, 2175, 615};

inline constexpr std::string_view kCaptionTitle = "Vantrel v2.0";
inline constexpr int kCaptionBlanks = 108;
inline constexpr std::string_view kCaptionCredit = "Made with twelve-spoke stars by the Vantrel crew.";
// "&" marks Alt+S; screen readers read the name without it.
inline constexpr std::string_view kButtonText = "&Start the show";
inline constexpr std::string_view kLabelText = "Label1";

// "Vantrel v2.0", 108 blanks, then the 49-character credit line.
[[nodiscard]] inline std::string WindowCaption()
{
    return std::string(kCaptionTitle) + std::string(kCaptionBlanks, ' ') + std::string(kCaptionCredit);
}

}  // namespace vantrel
