#!/usr/bin/python3
"""Walks through one show as a screen reader user would, over AT-SPI.

    screen_reader.py PID OUTDIR

PID is the running program (started with Qt's accessibility bridge on), OUTDIR
takes the event log and the captures. Checks the tree at start, starts the
show with the button's Press action, queries the program 5 s into the show,
presses again mid-show, reads the greeting alert, presses its OK and finds the
focus back on the button with the picture left as the show ended it.
Exit status 0 when every check passed.
"""

import os
import statistics
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

PID = int(sys.argv[1])
OUT = sys.argv[2]

TITLE = "Vantrel v2.0"
CREDIT = "Made with twelve-spoke stars by the Vantrel crew."
GREETING = "Merry Chritmas from the Quorvel!!!"
BUTTON = "Start the show"
# Qt's own words for a press, which say nothing of what this button does.
GENERIC = "Triggers the action"

failures = []
events = []
context = GLib.MainContext.default()
start = time.monotonic()


def log(message):
    print("[%6.2f] %s" % (time.monotonic() - start, message), flush=True)


def check(condition, what):
    if condition:
        log("ok: " + what)
    else:
        failures.append(what)
        log("FAIL: " + what)
    return condition


def pump(seconds):
    """Delivers accessibility events while time passes."""
    end = time.monotonic() + seconds
    while True:
        while context.iteration(False):
            pass
        if time.monotonic() >= end:
            return
        time.sleep(0.02)


def wait_for(predicate, seconds):
    """Polls a condition, delivering events meanwhile; no fixed sleeps."""
    end = time.monotonic() + seconds
    while True:
        try:
            if predicate():
                return True
        except GLib.Error:
            pass
        if time.monotonic() >= end:
            return False
        pump(0.05)


def describe(accessible):
    try:
        return "%s %r" % (accessible.getRoleName(), accessible.name)
    except GLib.Error:
        return "(gone)"


def on_event(event):
    events.append((time.monotonic(), event.type, describe(event.source), event.detail1))


def states(accessible):
    # States are kept by the client library; ask the program itself.
    accessible.clearCache()
    return accessible.getState()


def has_state(accessible, state):
    return states(accessible).contains(state)


def children(accessible):
    accessible.clearCache()
    return [accessible.getChildAtIndex(i) for i in range(accessible.childCount)]


def walk(accessible):
    yield accessible
    for child in children(accessible):
        if child is not None:
            yield from walk(child)


def find_app():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.get_process_id() == PID:
            return app
    return None


def alert_of(app):
    for child in children(app):
        if child.getRoleName() == "alert":
            return child
    return None


def capture(window_id, name):
    data = subprocess.run(["xwd", "-id", window_id, "-silent"], check=True, capture_output=True).stdout
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)
    return data


def timed(call):
    """Runs one request to the program; returns (seconds, error or None)."""
    begin = time.monotonic()
    try:
        call()
        return time.monotonic() - begin, None
    except GLib.Error as error:
        return time.monotonic() - begin, error


def main():
    pyatspi.Registry.registerEventListener(on_event, "window:activate", "window:deactivate", "focus:",
                                           "object:state-changed:showing", "object:state-changed:focused")

    app = None

    def app_up():
        nonlocal app
        app = find_app()
        return app is not None and len(children(app)) > 0
    if not check(wait_for(app_up, 30), "the program is on the accessibility bus"):
        return

    # The tree at start.
    top = children(app)
    check(len(top) == 1, "one window at start (got %d)" % len(top))
    frame = top[0]
    check(frame.getRoleName() == "frame", "the window is a frame (got %r)" % frame.getRoleName())
    check(frame.name == TITLE, "the window is named %r (got %r)" % (TITLE, frame.name))
    check(frame.description == CREDIT, "the credit is the window's description (got %r)" % frame.description)
    check(wait_for(lambda: has_state(frame, pyatspi.STATE_ACTIVE), 10), "the window is active")
    check(has_state(frame, pyatspi.STATE_SHOWING), "the window is showing")

    inside = children(frame)
    check(len(inside) == 1, "the window holds one control (got %s)" % [describe(c) for c in inside])
    button = inside[0]
    check(button.getRoleName() == "push button", "it is a push button (got %r)" % button.getRoleName())
    check(button.name == BUTTON, "named %r (got %r)" % (BUTTON, button.name))
    check(button.description not in ("", GENERIC), "the button says what it does (got %r)" % button.description)
    check(wait_for(lambda: has_state(button, pyatspi.STATE_FOCUSED), 10), "the button has the focus")
    check(not has_state(button, pyatspi.STATE_BUSY), "the button is not busy before the show")
    action = button.queryAction()
    check(action.nActions >= 1 and action.getName(0) == "Press", "its first action is Press")
    check(action.getKeyBinding(0) == "Alt+S", "Press is bound to Alt+S (got %r)" % action.getKeyBinding(0))
    check(action.getDescription(0) not in ("", GENERIC),
          "Press says what it does (got %r)" % action.getDescription(0))

    everything = list(walk(app))
    check(not any(a.name == "Label1" for a in everything), "nothing reads 'Label1'")
    check(not any(a.getRoleName() == "label" for a in everything), "no label is announced (the hidden one is out)")

    # Press starts the show; the request itself is answered at once.
    seconds, error = timed(lambda: action.doAction(0))
    pressed = time.monotonic()
    check(error is None and seconds < 2.0, "Press is answered at once (%.3f s, %s)" % (seconds, error))

    # 5 s into the show: requests that always reach the program (no cache).
    pump(pressed + 5.0 - time.monotonic())
    component = frame.queryComponent()
    answers = []
    for _ in range(10):
        answers.append(timed(lambda: component.getExtents(pyatspi.DESKTOP_COORDS)))
        answers.append(timed(lambda: action.getName(0)))
        pump(0.05)
    latencies = sorted(s for s, _ in answers)
    errors = [str(e) for _, e in answers if e is not None]
    median = statistics.median(latencies)
    log("queries 5 s into the show: median %.1f ms, max %.1f ms over %d" %
        (median * 1000, latencies[-1] * 1000, len(latencies)))
    check(not errors, "every query during the show is answered (%s)" % errors[:1])
    check(median < 0.100, "queries during the show are answered within 100 ms (median %.1f ms)" % (median * 1000))
    check(latencies[-1] < 0.500, "no query waits long (max %.1f ms)" % (latencies[-1] * 1000))
    check(has_state(button, pyatspi.STATE_BUSY), "the button is busy while the show runs")

    # A second press mid-show is answered, and changes nothing (see below).
    seconds, error = timed(lambda: action.doAction(0))
    check(error is None and seconds < 0.5, "Press mid-show is answered (%.3f s, %s)" % (seconds, error))

    # The greeting ends the show.
    alert = None

    def greeting_up():
        nonlocal alert
        alert = alert_of(app)
        return alert is not None
    check(wait_for(greeting_up, 60), "the greeting appears")
    if alert is None:
        return
    shown = time.monotonic() - pressed
    log("the greeting appeared %.2f s after the press" % shown)
    check(20.0 < shown < 40.0, "the show ran its course before the greeting (%.2f s)" % shown)
    check(alert.name == TITLE, "the alert is titled %r (got %r)" % (TITLE, alert.name))
    check(alert.description == GREETING, "the alert's description is the greeting (got %r)" % alert.description)
    parts = list(walk(alert))
    check(any(a.getRoleName() == "label" and a.name == GREETING for a in parts), "a label in the alert holds the text")
    ok = [a for a in parts if a.getRoleName() == "push button" and a.name == "OK"]
    check(len(ok) == 1, "the alert has one OK button")
    if not ok:
        return
    ok = ok[0]
    check(wait_for(lambda: has_state(ok, pyatspi.STATE_FOCUSED), 10), "focus moves to OK")
    pump(0.5)

    def seen(kind, what):
        return any(e[1].startswith(kind) and e[2] == what for e in events)
    alert_name = "alert %r" % TITLE
    check(seen("window:activate", alert_name), "the alert is announced as the active window")
    check(seen("object:state-changed:showing", alert_name), "the alert says it is showing")
    check(seen("focus", "push button 'OK'"), "focus on OK is announced")

    window_id = subprocess.run(["xdotool", "search", "--name", "^Vantrel v2\\.0 "], check=True,
                               capture_output=True, text=True).stdout.split()[0]

    ok_action = ok.queryAction()
    check(ok_action.getName(0) == "Press", "OK can be pressed")
    ok_action.doAction(0)
    check(wait_for(lambda: alert_of(app) is None, 10), "the greeting closes on its Press")
    check(wait_for(lambda: has_state(button, pyatspi.STATE_FOCUSED), 10), "focus is back on the button")
    check(not has_state(button, pyatspi.STATE_BUSY), "the button is not busy after the show")

    # The press made mid-show started nothing: the picture settles and stays.
    previous = capture(window_id, "after-1.xwd")
    settled = False
    for _ in range(20):
        pump(0.5)
        now = capture(window_id, "after-2.xwd")
        if now == previous:
            settled = True
            break
        previous = now
    check(settled, "the picture settles after the greeting")
    pump(2.0)
    check(capture(window_id, "after-3.xwd") == previous, "no second show: the picture stays as the show left it")
    check(len(children(app)) == 1, "one window, no second greeting")


try:
    main()
finally:
    with open(os.path.join(OUT, "events.log"), "w") as f:
        for stamp, kind, source, detail in events:
            f.write("%8.3f %s %s %s\n" % (stamp - start, kind, source, detail))

if failures:
    print("%d check(s) failed" % len(failures), file=sys.stderr)
    sys.exit(1)
