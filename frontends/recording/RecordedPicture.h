#pragma once

#include "core/Picture.h"
#include "frontends/recording/RecordingRuntime.h"

namespace vantrel {

// Draws one recorded runtime call onto a picture exactly as a front end
// draws it, so a recorded show predicts the window's pixels.
inline void DrawRecorded(Picture& picture, const Event& event)
{
    if (event.type == Event::Type::Line) {
        picture.DrawLine(event.x1, event.y1, event.x2, event.y2, StandardPixelOf(event.colour));
    } else if (event.type == Event::Type::Cls) {
        picture.Clear(StandardPixelOf(0));
    }
}

}  // namespace vantrel
