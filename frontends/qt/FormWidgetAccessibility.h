#pragma once

#include <QString>

class QAbstractButton;

namespace vantrel {

class FormWidget;

// What a screen reader says of the button, and of its press action.
inline constexpr const char* kStartDescription =
    "Plays the show: stars fly in and twinkle for about 26 seconds, then a greeting appears";
inline constexpr const char* kStartActionDescription = "Starts the show";

// The window caption is the product name, a long run of blanks and a credit
// line: a screen reader should say the name, and offer the credit apart.
struct CaptionParts {
    QString name;
    QString credit;
};
[[nodiscard]] CaptionParts SplitCaption(const QString& caption);

// Gives the window frmLines the accessible interfaces a screen reader needs:
// the window is a frame named by the product with the credit as its
// description, lblSleep (black on black, nobody sees it) is left out of the
// tree, and the button describes itself and names its shortcut. Call once the
// widgets have their names. What is drawn on screen does not change.
void MakeAccessible(FormWidget& form);

// While one lives, actions asked for through accessibility on frmLines and
// its button (press, focus) are refused, as clicks are dropped while a show
// runs. A show holds one from its start to the end of its greeting.
class AccessibleActionsHeld {
public:
    AccessibleActionsHeld() noexcept;
    ~AccessibleActionsHeld();
    AccessibleActionsHeld(const AccessibleActionsHeld&) = delete;
    AccessibleActionsHeld& operator=(const AccessibleActionsHeld&) = delete;
    AccessibleActionsHeld(AccessibleActionsHeld&&) = delete;
    AccessibleActionsHeld& operator=(AccessibleActionsHeld&&) = delete;

    [[nodiscard]] static bool Active() noexcept;
};

}  // namespace vantrel
