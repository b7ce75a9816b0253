#pragma once

#include <functional>
#include <memory>

class QWidget;

namespace vantrel {

// What the window system says of the main window behind the toolkit's back.
// Qt drops a close request for a window that a modal box blocks, and does not
// notice when another client destroys the window; a show must hear of both.
class WindowWatch {
public:
    struct Handlers {
        std::function<void()> closeRequested;
        std::function<void()> destroyed;
    };

    virtual ~WindowWatch() = default;
    WindowWatch(const WindowWatch&) = delete;
    WindowWatch& operator=(const WindowWatch&) = delete;
    WindowWatch(WindowWatch&&) = delete;
    WindowWatch& operator=(WindowWatch&&) = delete;

protected:
    WindowWatch() = default;
};

// The watch for the platform the application runs on; null where the
// platform needs none (a blocked window cannot be closed there, or the
// toolkit reports it itself).
[[nodiscard]] std::unique_ptr<WindowWatch> WatchWindow(QWidget& window, WindowWatch::Handlers handlers);

}  // namespace vantrel
