#!/usr/bin/env bash
# Drives the real program on the X server in $DISPLAY (see with_xvfb.sh) the
# way a user does, and checks screenshots of its window.
#   drive.sh idle  VANTREL CHECK CLOSE OUTDIR   start it and look at the idle window
#   drive.sh shows VANTREL CHECK CLOSE OUTDIR   two presses, the greetings, then close it
# CHECK is picture_check, CLOSE is wm_close; screenshots are left in OUTDIR.
set -euo pipefail

scenario=$1
vantrel=$2
check=$3
close=$4
out=$5
mkdir -p "$out"
rm -f "$out"/*.png

# Without a window manager the window has no frame, so the client area is the
# whole window. Its title starts with the product name and goes on; the
# greeting box's title is the product name alone.
readonly MAIN_TITLE='^Vantrel v2\.0 '
readonly BOX_TITLE='^Vantrel v2\.0$'
readonly BUTTON_X=360 BUTTON_Y=436

pid=
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null || true
    fi
}
trap cleanup EXIT

# shellcheck source=SCRIPTDIR/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# Some of the waits here take a screenshot on every try.
POLL_SECONDS=0.2

program_ended() { ! kill -0 "$pid" 2>/dev/null; }

# True once the window no longer shows the picture in file $1.
picture_changed() {
    capture "$win" "$out/now.png" || fail "cannot capture window $win"
    pictures_differ "$1" "$out/now.png"
}

# Captures the main window until the picture passes the finale check: the
# part the box covered comes back only when the window repaints it.
finale_shown() {
    capture "$win" "$1"
    "$check" finale "$1" >"$1.log"
}

start_program() {
    "$vantrel" &
    pid=$!
    wait_until 30 has_window "$MAIN_TITLE" || fail "the window did not appear within 30 s"
    win=$(visible_window "$MAIN_TITLE")
    step "window $win is up"
}

# Waits for the greeting, checks it, moves it beside the window and checks the picture.
greeting() {
    local shot=$1
    wait_until 90 has_window "$BOX_TITLE" || fail "no greeting within 90 s of the press"
    box=$(visible_window "$BOX_TITLE")
    step "greeting $box is up"
    [ "$box" != "$win" ] || fail "the greeting is not a window of its own"
    [ "$(xdotool getwindowname "$box")" = "Vantrel v2.0" ] || fail "greeting title: '$(xdotool getwindowname "$box")'"
    xdotool windowmove --sync "$box" 760 100
    if ! wait_until 20 finale_shown "$out/$shot"; then
        cat "$out/$shot.log"
        fail "the window does not show the 24 finale stars ($out/$shot)"
    fi
    cat "$out/$shot.log"
}

answer_greeting() {
    # Return presses the OK button of the box once the box has the focus.
    wait_until 20 has_focus "$box" || fail "the greeting never got the focus"
    xdotool key Return
    wait_until 20 no_window "$BOX_TITLE" || fail "the greeting did not close on Return"
    step "greeting answered"
}

press_button() { xdotool mousemove --window "$win" "$BUTTON_X" "$BUTTON_Y" click 1; }

case "$scenario" in
idle)
    start_program
    eval "$(xdotool getwindowgeometry --shell "$win")"
    if [ "$WIDTH" != 715 ] || [ "$HEIGHT" != 487 ]; then
        fail "window is ${WIDTH}x$HEIGHT, not 715x487"
    fi
    capture "$win" "$out/idle.png"
    "$check" idle "$out/idle.png" || fail "the idle window is not as it should be ($out/idle.png)"
    ;;
shows)
    start_program
    press_button
    step "pressed"
    greeting finale-1.png
    answer_greeting

    press_button
    wait_until 20 picture_changed "$out/finale-1.png" || fail "the second press did not start a show"
    step "second show started"
    # A moment into the fly-in; the right figure's flights alone take over ten seconds.
    sleep 2
    capture "$win" "$out/fly-in-over-finale.png"
    "$check" over "$out/finale-1.png" "$out/fly-in-over-finale.png" ||
        fail "the second press does not fly in over the first picture ($out/fly-in-over-finale.png)"

    greeting finale-2.png
    answer_greeting

    # What a window manager sends when the user closes the window.
    "$close" "$win"
    wait_until 20 program_ended || fail "the program still runs 20 s after its window was closed"
    status=0
    wait "$pid" || status=$?
    pid=
    [ "$status" = 0 ] || fail "exit status $status after closing the window"
    [ -z "$(xdotool search --name 'Vantrel' 2>/dev/null)" ] || fail "windows are left after the program ended"
    step "closed, exit status 0"
    ;;
*)
    fail "unknown scenario '$scenario'"
    ;;
esac
echo "ok $scenario"
