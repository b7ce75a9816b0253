#!/usr/bin/env bash
# CPU share of a whole show, measured from outside the process: the real
# vantrel under a private Xvfb (no window manager), one press with the real
# pacing, and vantrel-bench-show beside it timing every step through XDamage
# and reading utime + stime from /proc/PID/stat from the first step to the
# greeting. Prints one JSON line per show, then the medians. A benchmark, not
# a test: nothing is asserted. About 30 s per show.
#   bash bench/cpu_share.sh [BUILD_DIR] [SHOWS]
# BUILD_DIR holds vantrel and bench/vantrel-bench-show (default build/bench);
# SHOWS defaults to 1.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "${1:-$here/../build/bench}")
shows=${2:-1}

if [ "${VANTREL_CPU_SHARE_UNDER_X:-}" != 1 ]; then
    VANTREL_CPU_SHARE_UNDER_X=1 exec bash "$here/with_xvfb.sh" bash "$0" "$build" "$shows"
fi

dir=$(mktemp -d)
pid=
clock=
cleanup() {
    [ -n "$clock" ] && kill "$clock" 2>/dev/null
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT

# The observer's stamps are when it reads the events: on a busy machine it
# runs at a real-time priority where it may (it sleeps in poll nearly always).
rt=()
chrt -f 10 true 2>/dev/null && rt=(chrt -f 10)

for n in $(seq "$shows"); do
    "$build/vantrel" 2>/dev/null &
    pid=$!
    win=$(timeout 20 xdotool search --sync --all --onlyvisible --pid "$pid" --name '^Vantrel v2\.0 ' | head -n1)
    [ -n "$win" ] || { echo "cpu_share: the window did not appear" >&2; exit 1; }
    "${rt[@]}" "$build/bench/vantrel-bench-show" "$pid" "$win" --periods "$dir/periods-$n.txt" >"$dir/show-$n.json" &
    clock=$!
    for _ in $(seq 100); do
        grep -q '^ready$' "$dir/show-$n.json" && break
        sleep 0.1
    done
    xdotool mousemove --window "$win" 360 436 click 1
    wait "$clock" || { echo "cpu_share: the show was not timed" >&2; exit 1; }
    clock=
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    pid=
    grep -v '^ready$' "$dir/show-$n.json" | tee -a "$dir/all.json"
done

# Medians over the shows.
median() {
    grep -o "\"$1\": [-0-9.]*" "$dir/all.json" | awk '{print $2}' | sort -g |
        awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
printf 'whole show from outside, median of %s: CPU %s %% of wall (%s s); press to greeting %s s (ideal 25.585, %s %%); pauses %s s (%s %%); median step %s ms\n' \
    "$shows" "$(median cpu_pct_of_wall)" "$(median cpu_s)" "$(median show_s)" "$(median show_error_pct)" \
    "$(median paced_s)" "$(median paced_error_pct)" "$(median median_step_ms)"
