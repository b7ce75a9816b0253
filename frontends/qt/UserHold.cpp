#include "frontends/qt/UserHold.h"

#include <QEvent>
#include <QWidget>

#include <utility>

namespace vantrel {
namespace {

bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::HoverEnter:
    case QEvent::HoverLeave:
    case QEvent::HoverMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::NativeGesture:
    case QEvent::Gesture:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::DragLeave:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

}  // namespace

UserHold::UserHold(QWidget& window, std::function<void()> closeRequested)
    : window_(window), closeRequested_(std::move(closeRequested))
{
}

bool UserHold::eventFilter(QObject* watched, QEvent* event)
{
    if (IsUserInput(event->type())) {
        return true;
    }
    if (event->type() == QEvent::Close && watched == &window_) {
        event->ignore();
        closeRequested_();
        return true;
    }
    return false;
}

}  // namespace vantrel
