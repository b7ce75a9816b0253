#!/usr/bin/env bash
# The native Windows program as a user drives it: vantrel.exe of the mingw
# build under Wine's X11 driver, on a private Xvfb with openbox, in a prefix
# of its own (build/mingw/wine-x11, kept between runs).
#   package   the zip holds the exe, the readme (and licence); the exe is at
#             most 1 MiB and imports only DLLs every Windows has
#   96 DPI    client 715 x 487; idle: black but for the button; Return starts
#             the show; clicks and keys during it change nothing (the greeting
#             is not answered by them, no second show starts after it); the
#             finale equals `vantrel-trace --seed 2024 --png`; a close after the
#             greeting ends the program with status 0
#   144 DPI   client 1073 x 731; a click starts the show; a close during it is
#             honoured only after the greeting is answered, with status 0; the
#             finale equals `vantrel-trace --png --scale 1.5`
# The shows run the seeded test build (same code, fixed seed), the package
# check the real exe. With --bench, one show is measured instead (tools/bench.sh):
# CPU of the program's process and of the prefix's wineserver over the show.
#   gui_check.sh [--bench] [BUILD_DIR]   (default build/mingw, built by cross_check.sh)
set -euo pipefail
cd "$(dirname "$0")/../.."
mode=check
if [ "${1:-}" = --bench ]; then
    mode=bench
    shift
fi
build=${1:-build/mingw}
case $build in /*) ;; *) build=$PWD/$build ;; esac
exe=$build/frontends/win32/vantrel.exe
seeded=$build/tests/windows/vantrel-win32-seeded.exe
trace=$build/frontends/recording/vantrel-trace.exe
seed=2024
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
export WINEPREFIX=$build/wine-x11 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work=$(mktemp -d)
pids=()
cleanup() {
    "$wineserver" -k 2>/dev/null || true
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
start=$SECONDS
failures=0
fail() {
    echo "FAIL $*"
    failures=$((failures + 1))
}
ok() { echo "ok   $*"; }

# --- the package: no X needed
if [ $mode = check ]; then
    (cd "$build" && cpack -G ZIP -B "$work/package" >/dev/null)
    zip=$(ls "$work"/package/*.zip)
    listing=$(python3 -c 'import sys, zipfile
for i in zipfile.ZipFile(sys.argv[1]).infolist(): print(i.filename.split("/", 1)[1], i.file_size)' "$zip" | sort)
    files=$(awk '{print $1}' <<<"$listing" | grep -v '^LICENSE.txt$' | tr '\n' ' ')
    size=$(awk '$1 == "vantrel.exe" {print $2}' <<<"$listing")
    [ "$files" = "README.txt vantrel.exe " ] && ok "zip holds: $files" || fail "zip holds: $files"
    [ "${size:-0}" -gt 0 ] && [ "$size" -le 1048576 ] && ok "packaged vantrel.exe: $size bytes" ||
        fail "packaged vantrel.exe: ${size:-no} bytes (at most 1 MiB)"
    imports=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print toupper($3)}' | sort | tr '\n' ' ')
    foreign=$(tr ' ' '\n' <<<"$imports" |
        grep -Evx 'KERNEL32.DLL|USER32.DLL|GDI32.DLL|WINMM.DLL|COMCTL32.DLL|OLE32.DLL|MSVCRT.DLL|' || true)
    [ -z "$foreign" ] && ok "imports: $imports" || fail "imports DLLs Windows does not have: $foreign"
fi

# --- a private X server with a window manager
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.1; done
display=$(cat "$work/display")
[ -n "$display" ] || { echo "FAIL Xvfb did not start"; exit 1; }
export DISPLAY=:$display
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do wmctrl -m >/dev/null 2>&1 && break; sleep 0.1; done

if [ ! -e "$WINEPREFIX/.vantrel-ready" ]; then
    "$wine" wineboot -i >/dev/null 2>&1
    "$wineserver" -w
    touch "$WINEPREFIX/.vantrel-ready"
    echo "Wine prefix made in $((SECONDS - start)) s: $WINEPREFIX"
fi
# The trace's pictures, drawn under Wine too (its working directory is the Z: drive).
if [ $mode = check ]; then
    (cd "$work" && "$wine" "$trace" --seed $seed --png trace-1.png >/dev/null &&
        "$wine" "$trace" --seed $seed --png trace-1.5.png --scale 1.5 >/dev/null)
fi

# Pixel difference of two pictures of one size with the button's rectangle
# blacked out in both; any error (a missing file, other sizes) fails.
differing() {
    local a=$1 b=$2 box=$3 diff status=0
    convert "$a" -alpha off -fill black -draw "rectangle $box" "$work/a.png"
    convert "$b" -alpha off -fill black -draw "rectangle $box" "$work/b.png"
    diff=$(compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1) || status=$?
    [ "$status" -le 1 ] && echo "$diff" || echo "error: $diff"
}
shot() { xwd -silent -id "$1" | convert xwd:- "$2"; }
greeting() { xdotool search --onlyvisible --name '^Vantrel v2\.0$' 2>/dev/null | head -n1 || true; }
seconds_since() { awk -v a="$1" -v b="$(date +%s.%N)" 'BEGIN { printf "%.2f", b - a }'; }

# One show: DPI, press (key or click), close during the show or not.
show() {
    local dpi=$1 press=$2 close_mid=$3 ratio width height box
    ratio=$(awk -v d="$dpi" 'BEGIN { print d / 96 }')
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    "$wineserver" -k
    "$wineserver" -w
    echo "== $dpi DPI"
    "$wine" "$seeded" >"$work/out-$dpi.txt" 2>/dev/null &
    local pid=$!
    local win
    win=$(timeout 60 xdotool search --sync --onlyvisible --name '^Vantrel v2\.0 ' | head -n1 || true)
    [ -n "$win" ] || { fail "no window at $dpi DPI"; kill "$pid"; return; }
    width=$(awk -v r="$ratio" 'BEGIN { x = 715 * r; printf "%d", x + 0.5 }')
    height=$(awk -v r="$ratio" 'BEGIN { x = 487 * r; printf "%d", x + 0.5 }')
    local geometry
    geometry=$(xwininfo -id "$win" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h}')
    [ "$geometry" = "${width}x$height" ] && ok "client area $geometry" || fail "client area $geometry, not ${width}x$height"
    local caption
    caption="Vantrel v2.0$(printf '%108s' '')Made with twelve-spoke stars by the Vantrel crew."
    [ "$(xdotool getwindowname "$win")" = "$caption" ] && ok "caption: title, 108 blanks, credit" ||
        fail "caption: '$(xdotool getwindowname "$win")'"
    # The button at its scaled twips (core/WindowLayout.h), with a pixel of slack.
    box=$(awk -v r="$ratio" 'BEGIN { printf "%d,%d %d,%d", 288 * r - 1, 416 * r - 1, 433 * r + 1, 457 * r + 1 }')
    sleep 1
    shot "$win" "$work/idle-$dpi.png"
    convert -size "${width}x$height" xc:black "$work/black.png"
    local diff face
    diff=$(differing "$work/idle-$dpi.png" "$work/black.png" "$box")
    face=$(convert "$work/idle-$dpi.png" -crop "$(awk -v r="$ratio" 'BEGIN { printf "%dx%d+%d+%d", 140 * r, 36 * r, 291 * r, 419 * r }')" \
        -format '%[fx:mean > 0.5 ? 1 : 0]' info:)
    [ "$diff" = 0 ] && [ "$face" = 1 ] && ok "idle: black, the button's light face in its place" ||
        fail "idle: $diff pixels off black outside the button; button face found: $face"

    xdotool windowactivate --sync "$win" 2>/dev/null || true
    if [ "$press" = key ]; then
        xdotool key Return
    else
        xdotool mousemove --window "$win" $((width / 2)) $((height * 436 / 487)) click 1
    fi
    local pressed
    pressed=$(date +%s.%N)
    sleep 3
    if [ "$close_mid" = close ]; then
        wmctrl -i -c "$win"
    else
        # What a user does while waiting: none of it may answer the greeting or start another show.
        xdotool mousemove --window "$win" $((width / 2)) $((height * 436 / 487)) click 1 click 1
        xdotool key Return space alt+s Escape
        xdotool mousemove --window "$win" 100 100 click 1 click 3
    fi
    sleep 2
    kill -0 "$pid" 2>/dev/null && ok "the show goes on" || fail "the program ended during the show"
    local box_id=
    for _ in $(seq 300); do
        box_id=$(greeting)
        [ -n "$box_id" ] && break
        sleep 0.1
    done
    local shown
    shown=$(seconds_since "$pressed")
    [ -n "$box_id" ] || { fail "no greeting $shown s after the press"; kill "$pid"; return; }
    awk -v s="$shown" 'BEGIN { exit !(s >= 25.0 && s <= 40.0) }' && ok "greeting $shown s after the press" ||
        fail "greeting $shown s after the press (the show takes 25.585 s)"
    sleep 1
    [ -n "$(greeting)" ] && ok "the greeting waits to be answered" || fail "the greeting was answered by input from the show"
    xdotool windowmove "$box_id" 1200 50
    sleep 0.5
    shot "$win" "$work/finale-$dpi.png"
    diff=$(differing "$work/finale-$dpi.png" "$work/trace-$ratio.png" "$box")
    [ "$diff" = 0 ] && ok "finale equals vantrel-trace --seed $seed --scale $ratio" ||
        fail "finale: $diff pixels differ from vantrel-trace --seed $seed --scale $ratio"
    xdotool key Return
    if [ "$close_mid" != close ]; then
        sleep 2
        kill -0 "$pid" 2>/dev/null || fail "the program ended without a close"
        shot "$win" "$work/after-$dpi.png"
        diff=$(differing "$work/after-$dpi.png" "$work/finale-$dpi.png" "$box")
        [ "$diff" = 0 ] && ok "no second show after the greeting" || fail "$diff pixels changed after the greeting"
        wmctrl -i -c "$win"
    fi
    local status=0 waited=0
    while kill -0 "$pid" 2>/dev/null && [ $waited -lt 100 ]; do
        sleep 0.1
        waited=$((waited + 1))
    done
    if kill -0 "$pid" 2>/dev/null; then
        fail "still running 10 s after the close"
        kill "$pid"
        return
    fi
    wait "$pid" || status=$?
    [ "$status" = 0 ] && ok "closed, status 0" || fail "ended with status $status"
    echo "inside the program: $(cat "$work/out-$dpi.txt")"
}

# --bench: one show at 96 DPI, pressed with Return; CPU from /proc over the
# time from the press to the greeting seen on the X server.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }
# This prefix's wineserver: it works in a directory named after the prefix's device and inode.
prefix_server() {
    local dir pid
    dir=$(printf 'server-%x-%x' "$(stat -c %d "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")")
    for pid in $(pgrep -x 'wineserver(64)?' || true); do
        case $(readlink "/proc/$pid/cwd") in */"$dir") echo "$pid" && return ;; esac
    done
    echo "no wineserver of $WINEPREFIX" >&2
    return 1
}
bench_show() {
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
    "$wineserver" -k
    "$wineserver" -w
    "$wine" "$seeded" >"$work/out.txt" 2>/dev/null &
    local pid=$! win server t0 w0 s0 t1 w1 s1
    win=$(timeout 60 xdotool search --sync --onlyvisible --name '^Vantrel v2\.0 ' | head -n1 || true)
    [ -n "$win" ] || { echo "no window" >&2; return 1; }
    server=$(prefix_server)
    sleep 1
    xdotool windowactivate --sync "$win" 2>/dev/null || true
    xdotool key Return
    t0=$(date +%s.%N) w0=$(cpu_ticks "$pid") s0=$(cpu_ticks "$server")
    for _ in $(seq 1200); do
        [ -n "$(greeting)" ] && break
        sleep 0.05
    done
    t1=$(date +%s.%N) w1=$(cpu_ticks "$pid") s1=$(cpu_ticks "$server")
    xdotool key Return
    sleep 0.5
    wmctrl -i -c "$win"
    wait "$pid" || true
    awk -v t0="$t0" -v t1="$t1" -v w="$((w1 - w0))" -v s="$((s1 - s0))" -v hz="$(getconf CLK_TCK)" \
        -v inside="$(awk '/press_to_greeting_s/ {print $2}' "$work/out.txt")" 'BEGIN {
        wall = t1 - t0
        printf "{\"wine_cpu_pct_of_wall\": %.2f, \"wineserver_cpu_pct_of_wall\": %.2f, ", 100 * w / hz / wall, 100 * s / hz / wall
        printf "\"press_to_greeting_inside_s\": %s, \"inside_error_pct\": %.3f, \"press_to_greeting_outside_s\": %.3f}\n",
            inside, 100 * (inside - 25.585) / 25.585, wall }'
}
if [ $mode = bench ]; then
    bench_show
    exit 0
fi

show 96 key no
show 144 click close
"$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
if [ "$failures" -gt 0 ]; then
    echo "windows gui: $failures checks failed ($((SECONDS - start)) s)"
    exit 1
fi
echo "windows gui: all checks passed ($((SECONDS - start)) s)"
