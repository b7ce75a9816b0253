#!/usr/bin/env bash
# The DLLs the Windows package installs as the C++ runtime
# (cmake/VantrelMinGWRuntime.cmake) are all a MinGW-built C++ program needs:
# linked against them (not statically), it starts under Wine with the DLLs
# beside it, and does not start without them, as on a clean Windows.
#   check_runtime_dlls.sh CXX PROBE_SOURCE WORK_DIR EMULATOR... -- DLL...
set -euo pipefail
cxx=$1 source=$2 work=$3
shift 3
emulator=()
while [ "$1" != "--" ]; do emulator+=("$1"); shift; done
shift
dlls=("$@")

rm -rf "$work"
mkdir -p "$work/bare" "$work/packaged"
"$cxx" -std=c++20 -O1 "$source" -o "$work/bare/probe.exe"
cp "$work/bare/probe.exe" "$work/packaged/"
cp "${dlls[@]}" "$work/packaged/"

# The probe's stdout is in text mode: its line ends in CR LF.
if out=$("${emulator[@]}" "$work/packaged/probe.exe" 2>&1) && [ "${out//$'\r'/}" = "ok" ]; then
    echo "ok   starts with the packaged runtime: $(cd "$work/packaged" && ls ./*.dll | tr '\n' ' ')"
else
    echo "FAIL does not start with the packaged runtime beside it: $out"
    exit 1
fi
if "${emulator[@]}" "$work/bare/probe.exe" >/dev/null 2>&1; then
    echo "FAIL starts without the runtime DLLs: the check proves nothing (is a runtime installed in the prefix?)"
    exit 1
fi
echo "ok   does not start without them"
rm -rf "$work"
