#!/usr/bin/env bash
# Runs a command against a private X server with a real window manager
# (openbox), and stops both afterwards. Xvfb picks a free display itself
# (-displayfd), so tests can run side by side. The command finds the server's
# process id in VANTREL_TEST_XVFB_PID, for tests that take the display away.
#   with_openbox.sh COMMAND [ARGS...]
set -euo pipefail

dir=$(mktemp -d)
xvfb=
wm=
cleanup() {
    local p
    for p in $wm $xvfb; do
        kill "$p" 2>/dev/null || true
        wait "$p" 2>/dev/null || true
    done
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$dir/display" 2>"$dir/xvfb.log" &
xvfb=$!
for _ in $(seq 300); do
    [ -s "$dir/display" ] && break
    kill -0 "$xvfb" 2>/dev/null || { cat "$dir/xvfb.log" >&2; echo "with_openbox: Xvfb did not start" >&2; exit 1; }
    sleep 0.1
done
[ -s "$dir/display" ] || { echo "with_openbox: Xvfb gave no display within 30 s" >&2; exit 1; }
DISPLAY=:$(head -n1 "$dir/display")
export DISPLAY
unset WAYLAND_DISPLAY XAUTHORITY
export VANTREL_TEST_XVFB_PID=$xvfb

# The stock configuration, whatever the account's own says, but for the
# minimise animation: while it runs the frame grows step by step, and the tests
# time repaints from the moment the window is whole on screen again. openbox
# keeps its cache and state in the private folder.
mkdir -m 0700 "$dir/home" "$dir/runtime"
sed 's|<animateIconify>yes</animateIconify>|<animateIconify>no</animateIconify>|' /etc/xdg/openbox/rc.xml >"$dir/rc.xml"
XDG_CONFIG_HOME=$dir/home XDG_CACHE_HOME=$dir/home XDG_DATA_HOME=$dir/home \
    openbox --sm-disable --config-file "$dir/rc.xml" >"$dir/openbox.log" 2>&1 &
wm=$!
# Up once it has announced itself on the root window.
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
for _ in $(seq 300); do
    wm_ready && break
    kill -0 "$wm" 2>/dev/null || { cat "$dir/openbox.log" >&2; echo "with_openbox: openbox did not start" >&2; exit 1; }
    sleep 0.1
done
wm_ready || { echo "with_openbox: openbox not ready within 30 s" >&2; exit 1; }

# Qt warns on stderr without a runtime folder; the tests count stderr lines.
export XDG_RUNTIME_DIR=$dir/runtime
"$@"
