#!/usr/bin/env bash
# What a screen reader sees of the real program, on an accessibility bus of
# the test's own. Run it on a private session bus and X server:
#   dbus-run-session -- with_xvfb.sh atspi_session.sh VANTREL CLIENT OUTDIR
# It starts a window manager (openbox), the accessibility bus and registry,
# then the program with Qt's bridge on, runs the pyatspi CLIENT against it
# and finally closes the window as a user would; the program must end cleanly.
set -euo pipefail

vantrel=$1
client=$2
out=$3
mkdir -p "$out"
rm -f "$out"/*.log "$out"/*.xwd

[ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || { echo "atspi_session: no private session bus (use dbus-run-session)" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "atspi_session: no X server (use with_xvfb.sh)" >&2; exit 1; }

dir=$(mktemp -d)
pids=()
cleanup() {
    local i
    # Last started, first stopped: the program, the registry, the bus, the window manager.
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || true
        wait "${pids[i]}" 2>/dev/null || true
    done
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

# shellcheck source=SCRIPTDIR/../e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"

# Private folders: the bus launcher keeps its socket under XDG_RUNTIME_DIR,
# openbox its state under the XDG homes, so runs side by side never meet.
mkdir -m 0700 "$dir/runtime" "$dir/home"
export XDG_RUNTIME_DIR=$dir/runtime XDG_CONFIG_HOME=$dir/home XDG_CACHE_HOME=$dir/home XDG_DATA_HOME=$dir/home

# Focus moving to the greeting and back needs a window manager.
openbox --sm-disable --config-file /etc/xdg/openbox/rc.xml >"$out/openbox.log" 2>&1 &
pids+=($!)
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wait_until 30 wm_ready || fail "openbox did not start"

# The accessibility bus, then the registry on it.
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$out/bus.log" 2>&1 &
pids+=($!)
# Asked whether the name is taken, not for the address: a call to the name
# would have the session bus start a second launcher of its own.
has_owner() {
    dbus-send "$1" --print-reply=literal --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner "string:$2" 2>/dev/null | grep -q true
}
wait_until 30 has_owner --session org.a11y.Bus || fail "the accessibility bus did not start"
address=$(dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress |
    tr -d ' ')
/usr/libexec/at-spi2-registryd >"$out/registry.log" 2>&1 &
pids+=($!)
wait_until 30 has_owner --bus="$address" org.a11y.atspi.Registry || fail "the accessibility registry did not start"

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$vantrel" >"$out/vantrel.log" 2>&1 &
pid=$!
pids+=("$pid")

status=0
/usr/bin/python3 "$client" "$pid" "$out" || status=$?
[ "$status" -eq 0 ] || { sed 's/^/vantrel: /' "$out/vantrel.log" >&2; fail "the screen reader walk-through failed"; }

# Closed as a user closes it: the program ends by itself, with status 0 (and
# under the sanitizers with nothing to report).
win=$(xdotool search --name '^Vantrel v2\.0 ' | head -n1)
[ -n "$win" ] || fail "the main window is gone before it was closed"
wmctrl -i -c "$win"
ended() { ! kill -0 "$pid" 2>/dev/null; }
wait_until 30 ended || fail "the program did not end within 30 s of the close"
code=0
wait "$pid" || code=$?
[ "$code" -eq 0 ] || { sed 's/^/vantrel: /' "$out/vantrel.log" >&2; fail "the program ended with status $code"; }
echo "PASS"
