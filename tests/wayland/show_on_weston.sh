#!/usr/bin/env bash
# One show of the real program on a real Wayland compositor: weston, headless,
# with the pixman renderer, on a private socket in a private runtime folder, so
# tests can run side by side. The program (vantrel-wayland-press) presses its
# own button and answers the greeting; this script takes the compositor's
# screenshot in between and reads both sides' protocol logs afterwards.
#   show_on_weston.sh PRESS LOCATE CHECK READ_LOGS OUTDIR [MAX_OVER_PERCENT]
# PRESS is vantrel-wayland-press, LOCATE locate_window, CHECK picture_check,
# READ_LOGS read_logs.py (MAX_OVER_PERCENT goes to it); logs and pictures are
# left in OUTDIR.
set -euo pipefail

press=$1
locate=$2
check=$3
read_logs=$4
out=$5
max_over=${6:-1}
mkdir -p "$out"
rm -rf "${out:?}"/*

runtime=
weston=
program=
cleanup() {
    for pid in "$program" "$weston"; do
        if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
            kill "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
        fi
    done
    [ -z "$runtime" ] || rm -rf "$runtime"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

# shellcheck source=SCRIPTDIR/../e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"

command -v weston >/dev/null || fail "weston is not installed (Debian package weston)"
[ -n "$(find /usr/lib -path '*/qt6/plugins/platforms/libqwayland-generic.so' -print -quit)" ] ||
    fail "Qt's Wayland platform plugin is not installed (Debian package qt6-wayland)"

# Wayland clients insist on a runtime folder that only they can read.
runtime=$(mktemp -d)
chmod 0700 "$runtime"
export XDG_RUNTIME_DIR=$runtime
export WAYLAND_DISPLAY=vantrel
unset DISPLAY

# --debug lets the screenshooter in; the proto scope logs every request as
# the compositor receives it, with a millisecond stamp.
weston --backend=headless-backend.so --use-pixman --width=1024 --height=768 --socket="$WAYLAND_DISPLAY" \
    --idle-time=0 --no-config --debug --log="$out/weston.log" --logger-scopes=log,proto \
    >"$out/weston.out" 2>&1 &
weston=$!
weston_up() {
    kill -0 "$weston" 2>/dev/null || { cat "$out/weston.out" "$out/weston.log" >&2; fail "weston ended"; }
    [ -S "$runtime/$WAYLAND_DISPLAY" ]
}
wait_until 30 weston_up || fail "weston opened no socket within 30 s"
step "weston is up"

started=$SECONDS
# WAYLAND_DEBUG logs every request the program sends, on stderr beside the
# driver's own lines.
(cd "$out" && QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client exec "$press" "$out") 2>"$out/program.log" &
program=$!

ready() {
    kill -0 "$program" 2>/dev/null || { grep -v '^\[' "$out/program.log" >&2; fail "the program ended early"; }
    [ -e "$out/ready" ]
}
wait_until 120 ready || fail "no greeting answered within 120 s of the start"
step "the show has run and the greeting is answered"

# The compositor's picture, once the greeting has left it: its screenshooter
# writes the whole output to the current folder.
shows_finale() {
    local shot
    rm -f "$out"/wayland-screenshot-*.png
    (cd "$out" && weston-screenshooter) >"$out/screenshooter.log" 2>&1 || return 1
    shot=$(find "$out" -maxdepth 1 -name "wayland-screenshot-*.png" -print -quit)
    [ -n "$shot" ] || return 1
    mv "$shot" "$out/screen.png"
    "$locate" "$out/screen.png" "$out/grab.png" "$out/client.png" >"$out/locate.log" &&
        "$check" finale "$out/client.png" >"$out/check.log"
}
if command -v weston-screenshooter >/dev/null; then
    source="weston's screenshooter"
    if ! wait_until 20 shows_finale; then
        cat "$out/screenshooter.log" "$out/locate.log" 2>/dev/null
        [ ! -e "$out/client.png" ] || "$check" finale "$out/client.png" || true
        echo "the window's own picture:"
        "$check" finale "$out/grab.png" || true
        fail "the compositor's picture does not show the 24 finale stars ($out/screen.png)"
    fi
    cat "$out/locate.log"
else
    source="the window's own grab (weston-screenshooter is not installed)"
    "$check" finale "$out/grab.png" >"$out/check.log" || { cat "$out/check.log"; fail "the window's picture"; }
fi
cat "$out/check.log"
echo "picture checked: $source"

touch "$out/done"
ended() { ! kill -0 "$program" 2>/dev/null; }
wait_until 30 ended || fail "the program still runs 30 s after the greeting"
status=0
wait "$program" || status=$?
program=
[ "$status" = 0 ] || { grep -v '^\[' "$out/program.log" >&2; fail "exit status $status"; }
step "the program ended with status 0 after $((SECONDS - started)) s"

# weston logs what it received when it dispatches it; stop it so its log is complete.
kill "$weston"
wait "$weston" 2>/dev/null || true
weston=

/usr/bin/python3 "$read_logs" "$out/program.log" "$out/weston.log" "$max_over"
echo "ok show on weston"
