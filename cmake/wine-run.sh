#!/usr/bin/env bash
# Runs a Windows program under Wine in a private prefix: the emulator of the
# MinGW cross build (cmake/mingw-w64-x86_64.cmake).
#   wine-run.sh PREFIX PROGRAM.exe [ARGS...]
# WINEPREFIX, when set, wins over PREFIX. A new prefix is made once (~10 s),
# under a lock so that tests started side by side wait for it, and set to
# Wine's null display driver: windows (message boxes) work with no X server
# and never show on a developer's desktop.
set -euo pipefail
prefix=${WINEPREFIX:-$1}
shift
case $prefix in /*) ;; *) prefix=$PWD/$prefix ;; esac

wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
if [ ! -x "$wine" ]; then
    echo "wine-run.sh: Wine not found (Debian: apt-get install wine64)" >&2
    exit 127
fi
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
# No offers to install Mono or Gecko into the new prefix.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
unset DISPLAY WAYLAND_DISPLAY

ready=$prefix/.vantrel-ready
if [ ! -e "$ready" ]; then
    mkdir -p "$(dirname "$prefix")"
    (
        flock 9
        if [ ! -e "$ready" ]; then
            "$wine" wineboot --init >/dev/null 2>&1
            "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
            # The running session started without the setting: end it.
            "$wineserver" -k 2>/dev/null || true
            "$wineserver" -w 2>/dev/null || true
            touch "$ready"
        fi
    ) 9>"$prefix.lock"
fi

exec "$wine" "$@"
