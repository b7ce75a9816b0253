"""Checks one show on weston from both ends of the Wayland connection.

    read_logs.py PROGRAM_LOG WESTON_LOG [MAX_OVER_PERCENT]

PROGRAM_LOG is the program's stderr under WAYLAND_DEBUG=client: every request
it sends, stamped in milliseconds, with the driver's own lines between them.
WESTON_LOG is weston's log with the proto scope: every request as the
compositor receives it, stamped to the millisecond.

The main window's surface is the one whose toplevel carries the window's
caption ("Vantrel v2.0" and more); the greeting's caption is "Vantrel v2.0"
alone. A show has 5117 pauses and each starts with one repaint, so at least
that many commits of the main surface lie between the press and the greeting.

The show lasts 25.585 s within 1 %; MAX_OVER_PERCENT lets a build whose every
step is slower (the sanitizers') run over by more, never under.
"""

import re
import sys

SHOW_SECONDS = 25.585
PAUSES = 5117
GREETING_TITLE = "Vantrel v2.0"
GREETING_TEXT = "Merry Chritmas from the Quorvel!!!"
# The steps reach the compositor one at a time, about 5 ms apart; a median
# below this means they arrive in batches.
MIN_MEDIAN_STEP_MS = 2.0

DRIVER = "vantrel-wayland: "
REQUEST = re.compile(r"(\w+)@(\d+)\.(\w+)\((.*)\)$")
CLIENT_LINE = re.compile(r"^\[\s*(\d+\.\d+)\]\s+-> (.*)$")
WESTON_LINE = re.compile(r"^\[\d{4}-\d\d-\d\d (\d\d):(\d\d):(\d\d\.\d{3})\]\[proto\] client (\S+) rq (.*)$")

failures = []


def fail(message):
    failures.append(message)
    print("FAIL " + message)


class Surfaces:
    """Follows one client's requests to its main window's surface."""

    def __init__(self):
        self.surface_of = {}  # xdg_surface id -> wl_surface id
        self.xdg_of = {}  # xdg_toplevel id -> xdg_surface id
        self.main = None

    def request(self, text):
        """Reads one request; returns the main surface's id when it is a commit of it."""
        m = REQUEST.match(text)
        if not m:
            return None
        interface, obj, name, args = m.groups()
        if name == "get_xdg_surface":
            ids = re.findall(r"@(\d+)", args)
            self.surface_of[ids[0]] = ids[1]
        elif name == "get_toplevel":
            self.xdg_of[re.findall(r"@(\d+)", args)[0]] = obj
        elif name == "set_title" and args.startswith('"' + GREETING_TITLE + " ") and self.main is None:
            self.main = self.surface_of[self.xdg_of[obj]]
        elif interface == "wl_surface" and name == "commit" and obj == self.main:
            return obj
        return None


def percentile(values, p):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(p * len(ordered)))]


def read_program(path):
    surfaces = Surfaces()
    commits = {"before": 0, "show": 0, "after": 0}
    stamps = []  # the show's commits, as sent
    phase = "before"
    driver = {}
    others = []
    with open(path, encoding="utf-8", errors="replace") as log:
        for line in log:
            line = line.rstrip("\n")
            m = CLIENT_LINE.match(line)
            if m:
                if surfaces.request(m.group(2)):
                    commits[phase] += 1
                    if phase == "show":
                        stamps.append(float(m.group(1)))
            elif line.startswith(DRIVER):
                said = line[len(DRIVER):]
                if said == "pressed":
                    phase = "show"
                if said.startswith("greeting after "):
                    phase = "after"
                    driver["greeting after"] = said[len("greeting after "):]
                else:
                    key, _, value = said.partition(": ")
                    driver[key] = value
            elif not line.startswith("["):  # not the protocol log: a warning
                others.append(line)
    return surfaces.main, commits, stamps, driver, others


def read_weston(path):
    clients = {}
    stamps = {}
    main_client = None
    with open(path, encoding="utf-8", errors="replace") as log:
        for line in log:
            m = WESTON_LINE.match(line.rstrip("\n"))
            if not m:
                continue
            hours, minutes, seconds, client, text = m.groups()
            surfaces = clients.setdefault(client, Surfaces())
            if surfaces.request(text):
                ms = (int(hours) * 3600 + int(minutes) * 60 + float(seconds)) * 1000.0
                stamps.setdefault(client, []).append(ms)
            if surfaces.main is not None and main_client is None:
                main_client = client
    return stamps.get(main_client, [])


def main():
    main_surface, commits, sent, driver, others = read_program(sys.argv[1])
    received = read_weston(sys.argv[2])

    if main_surface is None:
        fail("the program's log shows no toplevel with the window's caption")
    if "pressed" not in driver:
        fail("the program never pressed its button")
    shown = driver.get("greeting after")
    if shown is None:
        fail("the program never saw the greeting")
    else:
        seconds = float(shown.split()[0])
        print(f"show: {seconds:.3f} s from the press to the greeting (ideal {SHOW_SECONDS} s)")
        over = float(sys.argv[3]) if len(sys.argv) > 3 else 1.0
        if not SHOW_SECONDS * 0.99 <= seconds <= SHOW_SECONDS * (1 + over / 100):
            fail(f"the show took {seconds:.3f} s, not {SHOW_SECONDS} s -1 % / +{over:g} %")
    if driver.get("greeting title") != GREETING_TITLE:
        fail(f"greeting title {driver.get('greeting title')!r}")
    if driver.get("greeting text") != GREETING_TEXT:
        fail(f"greeting text {driver.get('greeting text')!r}")
    if "answered" not in driver:
        fail("the greeting was not answered")

    total = sum(commits.values())
    print(f"main surface commits sent: {commits['before']} before the press, {commits['show']} in the show, "
          f"{commits['after']} after the greeting; received by weston: {len(received)} of {total}")
    if commits["show"] < PAUSES:
        fail(f"{commits['show']} commits in the show: some of its {PAUSES} steps never reached the compositor")
    if len(received) != total:
        fail(f"weston received {len(received)} commits of the main surface, the program sent {total}")

    # The show's commits as weston received them: the same requests, in the same order.
    show = received[commits["before"]:commits["before"] + commits["show"]]
    if len(show) > 1:
        gaps = [b - a for a, b in zip(show, show[1:])]
        p50 = percentile(gaps, 0.5)
        print(f"steps at weston: p50 {p50:.0f} ms, p99 {percentile(gaps, 0.99):.0f} ms, "
              f"max {max(gaps):.0f} ms, over {(show[-1] - show[0]) / 1000:.3f} s")
        if p50 < MIN_MEDIAN_STEP_MS:
            fail(f"steps reach weston in batches: median gap {p50:.0f} ms")
    if len(sent) > 1:
        gaps = [b - a for a, b in zip(sent, sent[1:])]
        print(f"steps as sent: p50 {percentile(gaps, 0.5):.2f} ms, p99 {percentile(gaps, 0.99):.2f} ms, "
              f"max {max(gaps):.1f} ms")

    if others:
        fail("the program printed more than its protocol log:\n  " + "\n  ".join(others[:20]))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
