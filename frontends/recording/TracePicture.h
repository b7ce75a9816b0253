#pragma once

#include "frontends/recording/RecordingRuntime.h"

#include <memory>
#include <string>

namespace vantrel {

// The picture at the greeting, drawn from the recorded calls the way the
// window's canvas draws them. Only a build with Qt can render it; the text
// trace needs none of this.
class TracePicture {
public:
    virtual ~TracePicture() = default;
    virtual void Draw(const Event& event) = 0;
    [[nodiscard]] virtual bool SavePng(const std::string& path) = 0;

protected:
    TracePicture() = default;
    TracePicture(const TracePicture&) = default;
    TracePicture& operator=(const TracePicture&) = default;
    TracePicture(TracePicture&&) = default;
    TracePicture& operator=(TracePicture&&) = default;
};

// A picture at `scale` device pixels per logical pixel; nullptr, with the
// reason in `whyNot`, where this build cannot render one.
[[nodiscard]] std::unique_ptr<TracePicture> MakeTracePicture(double scale, std::string& whyNot);

}  // namespace vantrel
