#include "frontends/qt/WindowWatch.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <string_view>

namespace vantrel {
namespace {

xcb_atom_t Intern(xcb_connection_t* connection, std::string_view name)
{
    const auto cookie = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.data());
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (reply == nullptr) {
        return XCB_ATOM_NONE;
    }
    const xcb_atom_t atom = reply->atom;
    std::free(reply);  // NOLINT(cppcoreguidelines-no-malloc): xcb hands out malloc'd replies
    return atom;
}

class XcbWindowWatch final : public WindowWatch, public QAbstractNativeEventFilter {
public:
    XcbWindowWatch(QWidget& window, xcb_connection_t* connection, Handlers handlers)
        : window_(window),
          handlers_(std::move(handlers)),
          protocols_(Intern(connection, "WM_PROTOCOLS")),
          deleteWindow_(Intern(connection, "WM_DELETE_WINDOW"))
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~XcbWindowWatch() override { QCoreApplication::instance()->removeNativeEventFilter(this); }
    XcbWindowWatch(const XcbWindowWatch&) = delete;
    XcbWindowWatch& operator=(const XcbWindowWatch&) = delete;
    XcbWindowWatch(XcbWindowWatch&&) = delete;
    XcbWindowWatch& operator=(XcbWindowWatch&&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* /*result*/) override
    {
        if (eventType != "xcb_generic_event_t") {
            return false;
        }
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        const auto ours = static_cast<xcb_window_t>(window_.internalWinId());
        if (ours == 0) {
            return false;
        }
        switch (event->response_type & 0x7FU) {
        case XCB_CLIENT_MESSAGE: {
            const auto* client = static_cast<const xcb_client_message_event_t*>(message);
            if (client->window == ours && client->type == protocols_ && client->format == 32 &&
                client->data.data32[0] == deleteWindow_ && handlers_.closeRequested) {
                handlers_.closeRequested();
            }
            break;
        }
        case XCB_DESTROY_NOTIFY: {
            const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
            if (destroyed->window == ours && handlers_.destroyed) {
                handlers_.destroyed();
            }
            break;
        }
        default:
            break;
        }
        return false;  // Qt still sees everything
    }

private:
    QWidget& window_;
    Handlers handlers_;
    xcb_atom_t protocols_;
    xcb_atom_t deleteWindow_;
};

}  // namespace

std::unique_ptr<WindowWatch> WatchWindow(QWidget& window, WindowWatch::Handlers handlers)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) {
        return nullptr;  // not on X11 (offscreen, Wayland)
    }
    return std::make_unique<XcbWindowWatch>(window, x11->connection(), std::move(handlers));
}

}  // namespace vantrel
