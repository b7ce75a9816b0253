#!/usr/bin/env bash
# The program from the unpacked .deb starts on a real X server, shows its
# window, and exits with status 0 when the window is asked to close.
# Runs under xvfb-run. Usage: check_deb_starts.sh DEB_DIR PYTHON
set -euo pipefail
deb_dir=$1 python=$2
here=$(cd "$(dirname "$0")" && pwd)

debs=("$deb_dir"/vantrel_*.deb)
root=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$root"
}
trap cleanup EXIT
dpkg-deb -x "${debs[0]}" "$root"

unset QT_QPA_PLATFORM
"$root/usr/games/vantrel" &
pid=$!

win=$(timeout 30 xdotool search --sync --onlyvisible --name '^Vantrel v2\.0' | head -n 1) || true
if [ -z "$win" ]; then
    echo "FAIL: no visible window titled 'Vantrel v2.0' within 30 s" >&2
    exit 1
fi
echo "window $win: $(xdotool getwindowname "$win")"

"$python" "$here/close_window.py" "$win"
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    echo "FAIL: still running 10 s after its window was asked to close" >&2
    exit 1
fi
rc=0
wait "$pid" || rc=$?
pid=
if [ $rc -ne 0 ]; then
    echo "FAIL: exit status $rc after closing the window" >&2
    exit 1
fi
