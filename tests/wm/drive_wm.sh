#!/usr/bin/env bash
# Drives the real program under a window manager (see with_openbox.sh) the
# way a user and a desktop do, while a show runs.
#   drive_wm.sh SCENARIO VANTREL CHECK PING OUTDIR
# CHECK is the e2e picture_check, PING is vantrel_wm_ping; screenshots and
# logs are left in OUTDIR.
#
#   show        Return on the focused idle button starts the show; mid-show a
#               click on the button and keys, a _NET_WM_PING (answered within
#               200 ms) and a close request (wmctrl): the greeting still comes
#               when the show is over and stays until answered, the picture is
#               the 24 finale stars, and after OK the program ends by itself
#               with status 0 within 2 s
#   display     the X server killed mid-show: status 1 within 2 s, one line on stderr
#   destroyed   the window destroyed from outside mid-show: ends within 2 s, status 0
#   arguments   Qt's own options on the command line change nothing: same caption,
#               same pixels as without them, one line on stderr
set -euo pipefail

scenario=$1
vantrel=$2
check=$3
ping=$4
out=$5
mkdir -p "$out"
rm -f "$out"/*.png "$out"/*.log

readonly BOX_TITLE='^Vantrel v2\.0$'
readonly BUTTON_X=360 BUTTON_Y=436
# 5117 pauses of 5 ms.
readonly SHOW_MS=25585

pid=
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null || true
    fi
}
trap cleanup EXIT

# shellcheck source=SCRIPTDIR/../e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"
# Finer than lib.sh's step and wait_until: the checks here are in milliseconds.
step() { echo "[$(date +%T.%3N)] $*"; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Polls until a command succeeds or SECONDS (may be fractional) have passed.
wait_until() {
    local ms deadline
    ms=$(awk -v s="$1" 'BEGIN { printf "%d", s * 1000 }')
    shift
    deadline=$(($(now_ms) + ms))
    until "$@"; do
        [ "$(now_ms)" -lt "$deadline" ] || return 1
        sleep 0.05
    done
}

# By process rather than by title: a title given on the command line must not hide it.
own_window() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n1; }
has_own_window() { [ -n "$(own_window)" ]; }
program_ended() { ! kill -0 "$pid" 2>/dev/null; }
picture_changed() {
    capture "$win" "$out/now.png" || fail "cannot capture window $win"
    pictures_differ "$1" "$out/now.png"
}
stderr_lines() { wc -l <"$out/stderr.log"; }

# Starts the program with ARGS, waits for its window and for the focus.
start_program() {
    "$vantrel" "$@" 2>"$out/stderr.log" &
    pid=$!
    wait_until 30 has_own_window || fail "the window did not appear within 30 s"
    win=$(own_window)
    wait_until 10 has_focus "$win" || fail "the window did not get the focus"
    # Top left, so that the greeting can be moved beside it.
    xdotool windowmove --sync "$win" 0 0
    step "window $win is up and has the focus"
}

# Ends the program as a user does when idle: a close request.
close_idle() {
    wmctrl -i -c "$win"
    await_end 5 "a close request while idle"
    [ "$status" = 0 ] || fail "exit status $status after a close request while idle"
}

press_and_wait_for_the_show() {
    capture "$win" "$out/idle.png"
    xdotool mousemove --window "$win" "$BUTTON_X" "$BUTTON_Y" click 1
    wait_until 5 picture_changed "$out/idle.png" || fail "the press did not start a show"
    step "show started"
}

# Sets `status` to the program's exit status, if it ended within SECONDS.
await_end() {
    wait_until "$1" program_ended || fail "the program still runs $1 s after $2"
    status=0
    wait "$pid" || status=$?
    pid=
}

case "$scenario" in
show)
    start_program
    capture "$win" "$out/idle.png"
    "$check" idle "$out/idle.png" >"$out/idle.log" || fail "the idle window is not as expected ($out/idle.png)"

    # Return on the focused button, not a click.
    xdotool key Return
    started=$(now_ms)
    wait_until 5 picture_changed "$out/idle.png" || fail "Return on the focused button did not start the show"
    step "Return started the show"

    # Input during the show waits and then counts for nothing.
    sleep 1.5
    xdotool mousemove --window "$win" "$BUTTON_X" "$BUTTON_Y" click 1
    xdotool key space Return KP_Enter Escape
    step "clicked the button and pressed keys mid-show"

    # The desktop's liveness check.
    sleep 1.5
    "$ping" "$win" 200 | tee "$out/ping.log" || fail "a ping mid-show was not answered within 200 ms"

    # The user closes the window: the show still plays to its greeting.
    sleep 1
    wmctrl -i -c "$win"
    step "close requested mid-show"
    sleep 1
    kill -0 "$pid" 2>/dev/null || fail "the program ended at the close request instead of finishing the show"

    wait_until 60 has_window "$BOX_TITLE" || fail "no greeting within 60 s of the press"
    greeted=$(now_ms)
    box=$(visible_window "$BOX_TITLE")
    step "greeting $box is up, $((greeted - started)) ms after Return"
    [ "$box" != "$win" ] || fail "the greeting is not a window of its own"
    # The show was neither cut short nor played twice (polling adds a little).
    if [ $((greeted - started)) -lt $((SHOW_MS - 500)) ] || [ $((greeted - started)) -gt $((2 * SHOW_MS)) ]; then
        fail "the greeting came $((greeted - started)) ms after the press; a show lasts $SHOW_MS ms"
    fi

    # Nothing pressed during the show answers the greeting.
    sleep 1
    has_window "$BOX_TITLE" || fail "the greeting closed by itself: input from the show reached it"
    xdotool windowmove --sync "$box" 760 100
    finale_shown() {
        capture "$win" "$out/finale.png"
        "$check" finale "$out/finale.png" >"$out/finale.log"
    }
    wait_until 20 finale_shown || {
        cat "$out/finale.log"
        fail "the window does not show the 24 finale stars ($out/finale.png)"
    }
    cat "$out/finale.log"

    wait_until 20 has_focus "$box" || fail "the greeting never got the focus"
    xdotool key Return
    answered=$(now_ms)
    step "greeting answered"
    await_end 2 "the greeting was answered (the close request was lost)"
    step "ended $(($(now_ms) - answered)) ms after OK, status $status"
    [ "$status" = 0 ] || fail "exit status $status after a close requested mid-show"
    ;;
display)
    start_program
    press_and_wait_for_the_show
    sleep 3
    before=$(stderr_lines)
    kill -KILL "$VANTREL_TEST_XVFB_PID"
    step "X server killed mid-show"
    await_end 2 "the display was lost"
    step "status $status"
    cat "$out/stderr.log"
    [ "$status" = 1 ] || fail "exit status $status after the display was lost, not 1"
    lines=$(($(stderr_lines) - before))
    [ "$lines" = 1 ] || fail "$lines lines on stderr after the display was lost, not 1"
    ;;
destroyed)
    start_program
    press_and_wait_for_the_show
    sleep 2
    xdotool windowclose "$win"  # XDestroyWindow, as a crashed or hostile client may do
    step "window destroyed from outside mid-show"
    await_end 2 "its window was destroyed"
    step "status $status"
    [ "$status" = 0 ] || fail "exit status $status after the window was destroyed, not 0"
    ;;
arguments)
    # Without arguments: the reference caption and pixels.
    start_program
    caption=$(xdotool getwindowname "$win")
    capture "$win" "$out/plain.png"
    plain_lines=$(stderr_lines)
    close_idle

    sheet=$out/red.qss
    echo '* { background-color: #ff0000; color: #00ff00; font-size: 30px; }' >"$sheet"
    start_program -qwindowtitle Changed -stylesheet "$sheet" -reverse -style windows -title Changed
    [ "$(xdotool getwindowname "$win")" = "$caption" ] ||
        fail "the caption changed with arguments: '$(xdotool getwindowname "$win")'"
    capture "$win" "$out/with-arguments.png"
    ! pictures_differ "$out/plain.png" "$out/with-arguments.png" ||
        fail "the window looks different with arguments ($out/with-arguments.png against $out/plain.png)"
    lines=$(($(stderr_lines) - plain_lines))
    cat "$out/stderr.log"
    [ "$lines" = 1 ] || fail "$lines lines on stderr about the arguments, not 1"
    close_idle
    ;;
*)
    fail "unknown scenario '$scenario'"
    ;;
esac
echo "ok $scenario"
