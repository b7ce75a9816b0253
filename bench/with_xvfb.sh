#!/usr/bin/env bash
# Runs a command with DISPLAY set to a fresh Xvfb of its own (a free display
# number between :100 and :199, white root so a first paint is visible),
# and stops the server afterwards. The command's exit status is returned.
#   bench/with_xvfb.sh COMMAND [ARGS...]
set -euo pipefail

xvfb_pid=
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null; true; }
trap cleanup EXIT

for _ in $(seq 20); do
    n=$((100 + RANDOM % 100))
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -wr -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -S "/tmp/.X11-unix/X$n" ] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.05
    done
    if kill -0 "$xvfb_pid" 2>/dev/null && [ -S "/tmp/.X11-unix/X$n" ]; then
        export DISPLAY=":$n"
        unset QT_QPA_PLATFORM
        status=0
        "$@" || status=$?
        exit "$status"
    fi
    xvfb_pid=  # lost the race for that number: try another
done
echo "with_xvfb.sh: could not start Xvfb" >&2
exit 1
