#include "frontends/qt/QtColours.h"

#include <array>
#include <utility>

namespace vantrel {
namespace {

using Group = QPalette::ColorGroup;
using Role = QPalette::ColorRole;

// System colour index -> the palette entry that plays the same part.
constexpr std::array<std::pair<Group, Role>, 25> kSystemColours{{
    {Group::Active, Role::Button},           // 0 scroll bars
    {Group::Active, Role::Dark},             // 1 desktop
    {Group::Active, Role::Highlight},        // 2 active title bar
    {Group::Inactive, Role::Highlight},      // 3 inactive title bar
    {Group::Active, Role::Window},           // 4 menu bar
    {Group::Active, Role::Base},             // 5 window background
    {Group::Active, Role::Shadow},           // 6 window frame
    {Group::Active, Role::WindowText},       // 7 menu text
    {Group::Active, Role::Text},             // 8 window text
    {Group::Active, Role::HighlightedText},  // 9 title bar text
    {Group::Active, Role::Mid},              // 10 active border
    {Group::Inactive, Role::Mid},            // 11 inactive border
    {Group::Active, Role::Dark},             // 12 application workspace
    {Group::Active, Role::Highlight},        // 13 highlight
    {Group::Active, Role::HighlightedText},  // 14 highlighted text
    {Group::Active, Role::Button},           // 15 button face
    {Group::Active, Role::Dark},             // 16 button shadow
    {Group::Disabled, Role::Text},           // 17 grey text
    {Group::Active, Role::ButtonText},       // 18 button text
    {Group::Inactive, Role::WindowText},     // 19 inactive title bar text
    {Group::Active, Role::Light},            // 20 button highlight
    {Group::Active, Role::Shadow},           // 21 3D dark shadow
    {Group::Active, Role::Midlight},         // 22 3D light
    {Group::Active, Role::ToolTipText},      // 23 tooltip text
    {Group::Active, Role::ToolTipBase},      // 24 tooltip background
}};

}  // namespace

QColor ToQColor(Colour colour, const QPalette& palette)
{
    if ((colour & kSystemColourFlag) != 0U) {
        const std::uint32_t index = colour & ~kSystemColourFlag;
        if (index < kSystemColours.size()) {
            const auto [group, role] = kSystemColours[index];
            return palette.color(group, role);
        }
        return Qt::black;
    }
    const auto channel = [colour](unsigned shift) { return static_cast<int>((colour >> shift) & 0xFFU); };
    return {channel(0U), channel(8U), channel(16U)};
}

}  // namespace vantrel
