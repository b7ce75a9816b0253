#!/usr/bin/env bash
# Runs a command against a private X server and stops the server afterwards.
# Xvfb picks a free display number itself (-displayfd), so tests started side
# by side, or beside someone else's server, never race for one.
#   [VANTREL_TEST_SCREEN=WxHxD] with_xvfb.sh COMMAND [ARGS...]
set -euo pipefail

dir=$(mktemp -d)
xvfb=
cleanup() {
    if [ -n "$xvfb" ]; then
        kill "$xvfb" 2>/dev/null || true
        wait "$xvfb" 2>/dev/null || true
    fi
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

# 24-bit colour, so screenshots keep the exact colours drawn; room beside the
# 715 x 487 window to move a message box out of its way. VANTREL_TEST_SCREEN
# asks for another size (two monitors side by side).
Xvfb -displayfd 3 -screen 0 "${VANTREL_TEST_SCREEN:-1280x800x24}" -nolisten tcp -noreset 3>"$dir/display" \
    2>"$dir/xvfb.log" &
xvfb=$!
# The number is written once the server accepts connections.
for _ in $(seq 300); do
    [ -s "$dir/display" ] && break
    kill -0 "$xvfb" 2>/dev/null || { cat "$dir/xvfb.log" >&2; echo "with_xvfb: Xvfb did not start" >&2; exit 1; }
    sleep 0.1
done
[ -s "$dir/display" ] || { echo "with_xvfb: Xvfb gave no display within 30 s" >&2; exit 1; }
DISPLAY=:$(head -n1 "$dir/display")
export DISPLAY
unset WAYLAND_DISPLAY XAUTHORITY

"$@"
