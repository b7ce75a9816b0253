#!/usr/bin/env bash
# Makes the pictures in docs/ from the real program on a private X server:
#   docs/screenshot-idle.png  the window as it starts
#   docs/screenshot-show.png  the end of a show, with the greeting over the window
#   docs/show.gif             a whole show, one frame about every dozen moves
#   bash tools/make_gif.sh [BUILD_DIR]     (default build/dev, configured already)
# Needs xvfb, xauth, xdotool, x11-utils, imagemagick and gifsicle. The colours
# are random, so every run gives other pictures.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/dev}

if [ -z "${MAKE_GIF_INSIDE:-}" ]; then
    cmake --build "$build" --target vantrel
    MAKE_GIF_INSIDE=1 exec xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" bash "$0" "$build"
fi

readonly FRAME_MS=60 # about a dozen moves of 5 ms
readonly MAIN_TITLE='^Vantrel v2\.0 '
readonly BOX_TITLE='^Vantrel v2\.0$'
work=$(mktemp -d)
pid=
cleanup() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=tools/x_windows.sh
source tools/x_windows.sh
now_ms() { echo $(($(date +%s%N) / 1000000)); }

"$build/vantrel" &
pid=$!
win=$(wait_for_window "$MAIN_TITLE")
xwd -id "$win" -silent | /usr/bin/convert xwd:- docs/screenshot-idle.png

# Frames of the client area, as raw dumps: converting them here would slow the beat.
mkdir "$work/frames"
xdotool mousemove --window "$win" 360 436 click 1
start=$(now_ms)
next=$start
n=0
while :; do
    xwd -id "$win" -silent >"$work/frames/$(printf %05d "$n").xwd"
    n=$((n + 1))
    if [ $((n % 10)) = 0 ] && [ -n "$(visible_window "$BOX_TITLE")" ]; then
        break
    fi
    next=$((next + FRAME_MS))
    wait_ms=$((next - $(now_ms)))
    [ "$wait_ms" -gt 0 ] && sleep "$(printf '0.%03d' "$wait_ms")"
done
elapsed=$(($(now_ms) - start))
echo "make_gif: $n frames in $elapsed ms"

# The end of the show as a user sees it: the picture with the greeting over it.
box=$(wait_for_window "$BOX_TITLE")
for _ in $(seq 100); do
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$box" ] && break
    sleep 0.1
done
# Wait for the box to paint its light face over the black window.
eval "$(xdotool getwindowgeometry --shell "$box")"
for _ in $(seq 100); do
    [ "$(import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" -format '%[fx:mean>0.5]' info:)" = 1 ] && break
    sleep 0.1
done
import -window root -crop 715x487+0+0 +repage docs/screenshot-show.png
xdotool key Return
kill "$pid"
pid=

# One GIF per frame (ImageMagick holds only a few dozen full frames at once),
# then gifsicle keeps only what changes from frame to frame. Every frame
# lasts as long as the capture beat really was, the last one three seconds.
/usr/bin/mogrify -path "$work/frames" -format gif +dither "$work"/frames/*.xwd
/usr/bin/convert docs/screenshot-show.png +dither "$work/frames/last.gif"
delay=$(((elapsed / n + 5) / 10))
gifsicle --no-warnings --no-comments -O3 --loopcount=forever --delay "$delay" "$work"/frames/0*.gif \
    --delay 300 "$work/frames/last.gif" -o docs/show.gif
ls -l docs/screenshot-idle.png docs/screenshot-show.png docs/show.gif
