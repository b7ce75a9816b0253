#include "frontends/recording/RecordingRuntime.h"

#include <string>

namespace vantrel {

void RecordingRuntime::Line(float x1, float y1, float x2, float y2, Colour colour)
{
    MaybeFail(Op::Line);
    Event e{.type = Op::Line, .x1 = x1, .y1 = y1, .x2 = x2, .y2 = y2, .colour = colour};
    Record(std::move(e));
}

void RecordingRuntime::Cls()
{
    MaybeFail(Op::Cls);
    Record(Event{.type = Op::Cls});
}

Colour RecordingRuntime::BackColor()
{
    MaybeFail(Op::BackColor);
    Record(Event{.type = Op::BackColor, .colour = backColor_});
    return backColor_;
}

void RecordingRuntime::Caption(std::string_view text)
{
    MaybeFail(Op::Caption);
    ++captionWrites_;
    caption_ = text;
    if (!events_.empty() && events_.back().type == Op::Caption && events_.back().text == text) {
        ++events_.back().count;
        return;
    }
    Record(Event{.type = Op::Caption, .text = std::string(text)});
}

void RecordingRuntime::Randomize() { random_.Randomize(); }

float RecordingRuntime::RandomNext()
{
    float value = 0;
    if (queued_.empty()) {
        value = random_.Next();
    } else {
        value = queued_.front();
        queued_.pop_front();
    }
    Record(Event{.type = Op::Rnd, .value = value});
    return value;
}

void RecordingRuntime::ShowMessageBox(std::string_view prompt, int buttons, std::string_view title)
{
    Record(Event{.type = Op::MsgBox, .text = std::string(prompt), .title = std::string(title), .code = buttons});
}

bool RecordingRuntime::Dispatch(const std::function<void()>& handler)
{
    try {
        handler();
        return true;
    } catch (const RunTimeError& error) {
        Record(Event{.type = Op::Error, .text = error.what(), .error = error.Kind()});
        return false;
    }
}

void RecordingRuntime::FailOn(Op op, int nth)
{
    failOn_ = std::make_pair(op, nth);
    failCounter_ = 0;
}

void RecordingRuntime::Finish()
{
    if (listener_) {
        for (const Event& event : events_) {
            listener_(event);
        }
        events_.clear();
    }
}

void RecordingRuntime::Record(Event event)
{
    // Every earlier event is finished now; only a trailing caption run may still grow.
    Finish();
    events_.push_back(std::move(event));
    if (listener_ && events_.back().type != Op::Caption) {
        Finish();
    }
}

void RecordingRuntime::MaybeFail(Op op)
{
    if (failOn_ && failOn_->first == op && ++failCounter_ == failOn_->second) {
        RaiseFailure("The window reported a failure.");
    }
}

}  // namespace vantrel
