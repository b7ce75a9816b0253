// Pings a window the way a desktop checks that a program is alive
// (_NET_WM_PING) and waits for the answer.
//
//   vantrel_wm_ping WINDOW LIMIT_MS
//
// Prints how long the answer took. Exit status 0 if it came within LIMIT_MS,
// 1 if it came later or not within five seconds, 2 on bad use.
#include <X11/Xlib.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kGiveUp = std::chrono::seconds(5);

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: vantrel_wm_ping WINDOW LIMIT_MS\n", stderr);
        return 2;
    }
    const Window window = std::strtoul(argv[1], nullptr, 0);
    const long limitMs = std::strtol(argv[2], nullptr, 10);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr || window == 0 || limitMs <= 0) {
        std::fputs("vantrel_wm_ping: bad window or limit, or no display\n", stderr);
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom ping = XInternAtom(display, "_NET_WM_PING", False);
    // The client sends its answer to the root window; the window manager holds
    // SubstructureRedirect there, so a bystander sees it through StructureNotify.
    XSelectInput(display, root, StructureNotifyMask);
    // An unusual timestamp tells our ping's answer from the window manager's own pings.
    const long stamp = 0x56540000L + (getpid() & 0xffff);

    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(ping);
    event.xclient.data.l[1] = stamp;
    event.xclient.data.l[2] = static_cast<long>(window);
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
    const auto sent = Clock::now();

    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    for (;;) {
        while (XPending(display) > 0) {
            XEvent answer{};
            XNextEvent(display, &answer);
            const XClientMessageEvent& m = answer.xclient;
            if (answer.type == ClientMessage && m.message_type == protocols && m.data.l[0] == static_cast<long>(ping) &&
                m.data.l[1] == stamp && m.data.l[2] == static_cast<long>(window)) {
                const double ms = std::chrono::duration<double, std::milli>(Clock::now() - sent).count();
                std::printf("ping answered in %.1f ms (limit %ld ms)\n", ms, limitMs);
                XCloseDisplay(display);
                return ms <= static_cast<double>(limitMs) ? 0 : 1;
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(sent + kGiveUp - Clock::now());
        if (left.count() <= 0) {
            std::printf("ping not answered within %lld ms (limit %ld ms)\n",
                        static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(kGiveUp).count()),
                        limitMs);
            XCloseDisplay(display);
            return 1;
        }
        poll(&fd, 1, static_cast<int>(left.count()));
    }
}
