# shellcheck shell=bash
# Helpers shared by the end-to-end driver scripts; they source this file.
# Not run on its own.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
step() { echo "[$(date +%T)] $*"; }

# Polls until a command succeeds; every wait in the drivers is on a condition.
# POLL_SECONDS sets the pause between tries (0.1 unless a driver says so).
wait_until() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep "${POLL_SECONDS:-0.1}"
    done
}

# Windows on the X server in $DISPLAY.
visible_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1; }
has_window() { [ -n "$(visible_window "$1")" ]; }
no_window() { [ -z "$(visible_window "$1")" ]; }
has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
capture() { xwd -id "$1" -silent | /usr/bin/convert xwd:- "$2"; }
# True if the pictures in files $1 and $2 differ. A file compare cannot read
# (exit 2: a failed capture) fails the test rather than passing as a change.
pictures_differ() {
    local status=0
    /usr/bin/compare -metric AE "$1" "$2" null: 2>"$2.compare.log" || status=$?
    [ "$status" != 2 ] || fail "cannot compare $1 with $2: $(cat "$2.compare.log")"
    [ "$status" = 1 ]
}
