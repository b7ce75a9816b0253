#!/usr/bin/env bash
# Makes docs/screenshot-show-200.png: the end of a show at 200 % (QT_SCALE_FACTOR=2),
# the greeting over the window, from the real program on a private X server.
#   bash tools/screenshot_scaled.sh [BUILD_DIR]     (default build/dev, configured already)
# Needs xvfb, xauth, xdotool, x11-utils and imagemagick. The colours are random.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/dev}
if [ -z "${SCREENSHOT_INSIDE:-}" ]; then
    cmake --build "$build" --target vantrel
    SCREENSHOT_INSIDE=1 exec xvfb-run -a -s "-screen 0 2400x1600x24 -nolisten tcp" bash "$0" "$build"
fi
readonly MAIN_TITLE='^Vantrel v2\.0 '
readonly BOX_TITLE='^Vantrel v2\.0$'
pid=
cleanup() { if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi; }
trap cleanup EXIT

# shellcheck source=tools/x_windows.sh
source tools/x_windows.sh

QT_SCALE_FACTOR=2 "$build/vantrel" &
pid=$!
win=$(wait_for_window "$MAIN_TITLE")
# The button's centre in native pixels.
xdotool mousemove --window "$win" 720 872 click 1
box=$(wait_for_window "$BOX_TITLE")
# Wait for the box to paint its light face over the black window.
eval "$(xdotool getwindowgeometry --shell "$box")"
for _ in $(seq 100); do
    [ "$(import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" -format '%[fx:mean>0.5]' info:)" = 1 ] && break
    sleep 0.1
done
import -window root -crop 1430x974+0+0 +repage docs/screenshot-show-200.png
xdotool key Return
ls -l docs/screenshot-show-200.png
