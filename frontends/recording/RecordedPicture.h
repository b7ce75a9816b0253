#pragma once

#include "frontends/qt/Canvas.h"
#include "frontends/qt/QtColours.h"
#include "frontends/recording/RecordingRuntime.h"

namespace vantrel {

// Draws one recorded runtime call onto a canvas exactly as the Qt binding
// draws it, so a recorded show predicts the window's pixels.
inline void DrawRecorded(Canvas& canvas, const Event& event)
{
    if (event.type == Event::Type::Line) {
        // Made once: building a palette costs more than drawing the line.
        static const QPalette palette(Qt::black);
        canvas.DrawLine(event.x1, event.y1, event.x2, event.y2, ToQColor(event.colour, palette));
    } else if (event.type == Event::Type::Cls) {
        canvas.Clear(Qt::black);
    }
}

}  // namespace vantrel
