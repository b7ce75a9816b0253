#!/usr/bin/env bash
# Started where no window can open, the program says so in one line on
# stderr and exits with status 1: no abort, no core dump.
#   bad_env.sh PROGRAM
set -uo pipefail
program=$1
failures=0

check() {
    local name=$1
    shift
    local err status
    err=$(mktemp)
    timeout 30 env "$@" "$program" >/dev/null 2>"$err"
    status=$?
    local lines
    lines=$(grep -c . "$err")
    if [ "$status" -ne 1 ] || [ "$lines" -ne 1 ] || ! grep -q '^vantrel: cannot start: ' "$err"; then
        echo "FAIL $name: status $status, stderr:"
        cat "$err"
        failures=$((failures + 1))
    else
        echo "ok   $name: $(cat "$err")"
    fi
    rm -f "$err"
}

check "no display" -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM
check "dead display" -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:97531
check "unknown platform" QT_QPA_PLATFORM=no-such-platform
exit "$failures"
