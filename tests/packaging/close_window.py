#!/usr/bin/env python3
"""Ask an X window to close, as a window manager's close button does.

Usage: close_window.py WINDOW_ID   (on $DISPLAY)

xdotool can only destroy a window or kill its client; the WM_DELETE_WINDOW
message lets the program shut down by itself, so its exit status means
something.
"""

import ctypes
import sys

CLIENT_MESSAGE = 33  # X event type


class ClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class Event(ctypes.Union):
    _fields_ = [("xclient", ClientMessageEvent), ("pad", ctypes.c_long * 24)]  # sizeof(XEvent)


def main():
    window = int(sys.argv[1], 0)
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.POINTER(Event)]
    x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("close_window: cannot open the display")
    event = Event()
    msg = event.xclient
    msg.type = CLIENT_MESSAGE
    msg.window = window
    msg.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
    msg.format = 32
    msg.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    msg.data[1] = 0  # CurrentTime
    if not x11.XSendEvent(display, window, 0, 0, ctypes.byref(event)):
        sys.exit("close_window: XSendEvent failed")
    x11.XSync(display, 0)
    x11.XCloseDisplay(display)


if __name__ == "__main__":
    main()
