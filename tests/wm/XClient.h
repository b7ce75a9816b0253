#pragma once

// A second client on the same X server: what the window manager and other
// programs do to our window. Kept apart from the tests because Xlib's macros
// (None, Bool, Status) clash with GoogleTest and Qt.
namespace vantrel::testing {

class XClient {
public:
    using Window = unsigned long;

    XClient();
    ~XClient();
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;
    XClient(XClient&&) = delete;
    XClient& operator=(XClient&&) = delete;

    [[nodiscard]] bool Open() const noexcept { return display_ != nullptr; }
    // Mapped, and every ancestor too: on screen unless covered.
    [[nodiscard]] bool Viewable(Window window);
    // As a taskbar asks: the window manager unmaps the window.
    void Minimise(Window window);
    // As a taskbar asks: the window manager maps the window again and activates it.
    void Restore(Window window);
    // As a taskbar or `wmctrl -c` asks: the window manager sends the window a close request.
    void AskToClose(Window window);
    // A plain window of another program in `rgb`, laid over `window` and its frame.
    Window Cover(Window window, int width, int height, unsigned int rgb);
    void Uncover(Window cover);
    // The pointer off every window, so no hover look comes and goes.
    void PointerAway();

private:
    void* display_;  // Display*
};

}  // namespace vantrel::testing
