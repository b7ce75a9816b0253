#!/usr/bin/env bash
# A run-time error in the real program, in a real X server: the press shows
# a critical box naming the error, and closing it ends the program with
# status 1 (no crash, no core dump).
#   fault_e2e.sh PROGRAM MODE WORD   (run under xvfb-run)
set -euo pipefail
program=$1 mode=$2 word=$3
log=$(mktemp)
trap 'kill "$pid" 2>/dev/null || true; rm -f "$log"' EXIT

"$program" "$mode" 2>"$log" &
pid=$!
main=$(timeout 30 xdotool search --sync --onlyvisible --name '^Vantrel v2\.0' | head -n1)
xdotool mousemove --window "$main" 360 436 click 1

# The error box is a second window with the program's title.
for _ in $(seq 300); do
    [ "$(xdotool search --onlyvisible --name '^Vantrel v2\.0$' 2>/dev/null | wc -l)" -ge 1 ] && break
    sleep 0.1
done
box=$(xdotool search --onlyvisible --name '^Vantrel v2\.0$' | head -n1)
[ -n "$box" ] || { echo "no error box"; exit 1; }
xdotool windowfocus --sync "$box" 2>/dev/null || true
xdotool key Return

status=0
timeout 30 tail --pid="$pid" -f /dev/null || { echo "program did not end"; exit 1; }
wait "$pid" || status=$?
echo "exit status $status"
cat "$log"
[ "$status" -eq 1 ] || { echo "expected exit status 1"; exit 1; }
grep -q "^vantrel: run-time error: .*$word" "$log" || { echo "expected the $word error"; exit 1; }
grep -qi -e abort -e "core dumped" -e "sanitizer" "$log" && { echo "unclean end"; exit 1; }
echo "ok: $mode ($word)"
