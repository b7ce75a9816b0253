#!/usr/bin/env bash
# Windows, proven on this Linux machine: cross-builds with MinGW-w64 (the
# mingw preset) the Qt-free libraries, their tests, the text trace tool and
# the program's resources, then runs every test of that build under Wine in
# a prefix private to the build: the show's tests, fault tests and fuzz
# replay, the golden trace byte for byte, the icon group and version record,
# the pacer's Windows waits and the start-failure box; then the native
# program itself on a private X server (gui_check.sh).
#   cross_check.sh [BUILD_DIR]     (default build/mingw, the preset's)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build/mingw}
start=$SECONDS

cmake --preset mingw -B "$build" >/dev/null
cmake --build "$build" -j2
built=$SECONDS

prefix=$PWD/$build/wine
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
# Tests leave Wine's server running for a few seconds after they end: stop it.
trap 'WINEPREFIX="$prefix" "$wineserver" -k 2>/dev/null || true' EXIT
if [ ! -e "$prefix/.vantrel-ready" ]; then
    cmake/wine-run.sh "$prefix" cmd /c exit 0
    echo "Wine prefix made in $((SECONDS - built)) s: $prefix"
fi

tested=$SECONDS
ctest --test-dir "$build" -j2 --output-on-failure --no-tests=error
# The native program as a user drives it: alone, since its shows are timed.
shown=$SECONDS
bash tests/windows/gui_check.sh "$build"
echo "windows: build $((built - start)) s, Wine prefix $((tested - built)) s, tests $((shown - tested)) s," \
    "program under Wine $((SECONDS - shown)) s"
