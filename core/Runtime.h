#pragma once

#include <cstdint>
#include <string_view>

namespace vantrel {

// red + 256 * green + 65536 * blue; values from 0x80000000 up name system colours.
using Colour = std::uint32_t;

inline constexpr Colour kSystemColourFlag = 0x80000000U;
inline constexpr Colour kSysMenuText = 0x80000007U;

// What the program needs from its platform. Everything the show draws, reads
// or shows goes through here, so the whole show can run against a recording
// fake with no display. Any operation may raise a run-time error (see
// Errors.h) instead of returning.
class Runtime {
public:
    virtual ~Runtime() = default;

    // Straight line in twips, visible without a return to the event loop.
    virtual void Line(float x1, float y1, float x2, float y2, Colour colour) = 0;
    // Clears the whole drawing surface to the background colour.
    virtual void Cls() = 0;
    [[nodiscard]] virtual Colour BackColor() = 0;
    // Writes the caption of the window's label lblSleep.
    virtual void Caption(std::string_view text) = 0;

    // Reseeds the generator from the clock.
    virtual void Randomize() = 0;
    // Next number of the sequence, 0 <= r < 1.
    [[nodiscard]] virtual float RandomNext() = 0;

    // Modal message box; returns when it is closed.
    virtual void ShowMessageBox(std::string_view prompt, int buttons, std::string_view title) = 0;

protected:
    Runtime() = default;
    Runtime(const Runtime&) = default;
    Runtime& operator=(const Runtime&) = default;
    Runtime(Runtime&&) = default;
    Runtime& operator=(Runtime&&) = default;
};

// Message box buttons code: information icon, one OK button.
inline constexpr int kMsgBoxInformation = 64;

}  // namespace vantrel
