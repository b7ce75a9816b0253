#pragma once

#include "core/Errors.h"
#include "core/RandomSource.h"
#include "core/Runtime.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

// One call of the runtime as the recording fake saw it.
struct Event {
    enum class Type { Line, Cls, BackColor, Caption, Rnd, MsgBox, Error };

    Type type{};
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // Line
    Colour colour = 0;                     // Line, BackColor
    std::string text{};                    // Caption text, MsgBox prompt, Error message
    std::string title{};                   // MsgBox
    int code = 0;                          // MsgBox buttons
    std::uint32_t count = 1;               // Caption: identical consecutive writes folded
    float value = 0;                       // Rnd
    ErrorKind error{};                     // Error
};

// A runtime that draws nothing and records every call, so the whole show can
// be checked call by call with no display. Rounds of the pause cost no time.
class RecordingRuntime final : public Runtime {
public:
    using Op = Event::Type;

    explicit RecordingRuntime(std::optional<std::uint32_t> seed = std::nullopt) : random_(seed) {}

    void Line(float x1, float y1, float x2, float y2, Colour colour) override;
    void Cls() override;
    [[nodiscard]] Colour BackColor() override;
    void Caption(std::string_view text) override;
    void Randomize() override;
    [[nodiscard]] float RandomNext() override;
    void ShowMessageBox(std::string_view prompt, int buttons, std::string_view title) override;

    // Runs an event handler as the platform would: a run-time error ends it
    // and is recorded. Returns false when it ended in an error.
    bool Dispatch(const std::function<void()>& handler);

    // Makes the nth call (counted from 1) of `op` report a failure.
    void FailOn(Op op, int nth);
    void SetBackColor(Colour colour) noexcept { backColor_ = colour; }
    // The next RandomNext calls return these values, then the generator resumes.
    void QueueRandom(std::vector<float> values) { queued_.insert(queued_.end(), values.begin(), values.end()); }

    // Called with every finished event as it happens (a run of caption writes
    // finishes when another call comes or on Finish). Events handed to a
    // listener are not kept, so a long trace needs no memory.
    void SetListener(std::function<void(const Event&)> listener) { listener_ = std::move(listener); }
    void Finish();

    [[nodiscard]] const std::vector<Event>& Events() const noexcept { return events_; }
    void Clear() { events_.clear(); }
    [[nodiscard]] std::string LabelCaption() const { return caption_; }
    [[nodiscard]] std::uint64_t CaptionWrites() const noexcept { return captionWrites_; }

private:
    void Record(Event event);
    void MaybeFail(Op op);

    RandomSource random_;
    std::deque<float> queued_;
    Colour backColor_ = 0;
    std::string caption_ = "Label1";
    std::uint64_t captionWrites_ = 0;
    std::vector<Event> events_;
    std::function<void(const Event&)> listener_;
    std::optional<std::pair<Op, int>> failOn_;
    int failCounter_ = 0;
};

}  // namespace vantrel
