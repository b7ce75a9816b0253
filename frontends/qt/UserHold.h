#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace vantrel {

// Installed on the application only while the window system is served
// between two steps: user input is dropped, not queued, so nothing the user
// does during a show reaches the button, the next show or the greeting; a
// close of the window is remembered instead of done.
class UserHold final : public QObject {
public:
    UserHold(QWidget& window, std::function<void()> closeRequested);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    std::function<void()> closeRequested_;
};

}  // namespace vantrel
