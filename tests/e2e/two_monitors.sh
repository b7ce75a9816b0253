#!/usr/bin/env bash
# Splits the X server's one screen (see with_xvfb.sh; VANTREL_TEST_SCREEN
# 3200x1400x24) into two RandR monitors side by side, M0 from x 0 and M1 from
# x 1600, gives each its scale, and runs a command there.
#   two_monitors.sh M0=1,M1=2 COMMAND [ARGS...]
# (Commas: a semicolon does not pass through a CTest command line.)
set -euo pipefail
scales=$1
shift
# Half the width each, at about 100 dpi: the physical size in millimetres.
xrandr --setmonitor M0 1600/406x1400/355+0+0 screen
xrandr --setmonitor M1 1600/406x1400/355+1600+0 none
[ "$(xrandr --listmonitors | head -n1)" = "Monitors: 2" ] || { xrandr --listmonitors >&2; echo "two_monitors: no two monitors" >&2; exit 1; }
export QT_SCREEN_SCALE_FACTORS=${scales//,/;}
"$@"
