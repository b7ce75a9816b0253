#include "XClient.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace vantrel::testing {
namespace {

Display* Of(void* display) { return static_cast<Display*>(display); }

}  // namespace

XClient::XClient() : display_(XOpenDisplay(nullptr)) {}

XClient::~XClient()
{
    if (display_ != nullptr) {
        XCloseDisplay(Of(display_));
    }
}

bool XClient::Viewable(Window window)
{
    XWindowAttributes attributes{};
    return XGetWindowAttributes(Of(display_), window, &attributes) != 0 && attributes.map_state == IsViewable;
}

void XClient::Minimise(Window window)
{
    Display* display = Of(display_);
    XIconifyWindow(display, window, DefaultScreen(display));
    XSync(display, False);
}

void XClient::Restore(Window window)
{
    Display* display = Of(display_);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2;  // from a pager
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XSync(display, False);
}

void XClient::AskToClose(Window window)
{
    Display* display = Of(display_);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "_NET_CLOSE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = CurrentTime;
    event.xclient.data.l[1] = 2;  // from a pager
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XSync(display, False);
}

XClient::Window XClient::Cover(Window window, int width, int height, unsigned int rgb)
{
    Display* display = Of(display_);
    int x = 0;
    int y = 0;
    ::Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    // Past the frame on every side; override-redirect, so the window manager leaves it be.
    constexpr int kMargin = 40;
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = rgb;
    const ::Window cover =
        XCreateWindow(display, DefaultRootWindow(display), x - kMargin, y - kMargin,
                      static_cast<unsigned>(width + 2 * kMargin), static_cast<unsigned>(height + 2 * kMargin), 0,
                      CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(display, cover);
    XSync(display, False);
    return cover;
}

void XClient::Uncover(Window cover)
{
    XDestroyWindow(Of(display_), cover);
    XSync(Of(display_), False);
}

void XClient::PointerAway()
{
    Display* display = Of(display_);
    const ::Window root = DefaultRootWindow(display);
    XWarpPointer(display, None, root, 0, 0, 0, 0, DisplayWidth(display, 0) - 1, DisplayHeight(display, 0) - 1);
    XSync(display, False);
}

}  // namespace vantrel::testing
