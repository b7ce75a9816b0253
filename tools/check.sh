#!/usr/bin/env bash
# Every test and gate: the optimised build with warnings as errors, the
# sanitizer build, and the style checks. Called by tools/dev.sh test.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
part_start=$SECONDS
part=
# Each part says how long it took, so a slow one is easy to spot in CI's log.
section() {
    [ -n "$part" ] && echo "-- $part took $((SECONDS - part_start)) s"
    part=$1
    part_start=$SECONDS
    [ "$1" = done ] || echo "== $1"
}

section "build and test (ci preset: warnings are errors)"
cmake --preset ci >/dev/null
cmake --build --preset ci
ctest --preset ci -j2

section "style: clang-format and clang-tidy"
bash tools/lint.sh build/ci

section "windows (mingw preset: cross-built with MinGW-w64, tests run under Wine)"
bash tests/windows/cross_check.sh

section "web (web preset: the page in Chromium, Firefox ESR and WebKitGTK, its trace under node)"
bash tests/web/check.sh build/ci/frontends/recording/vantrel-trace

section "release (tools/dist.sh twice, in two folders of other names: the same bytes)"
bash tests/packaging/check_reproducible.sh

section "build and test (asan preset: AddressSanitizer + UndefinedBehaviorSanitizer)"
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan -j2

section "fuzz (libFuzzer on clang, ASan + UBSan: a short fixed run from the seed corpus)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz

section "done"
echo "== all checks passed in $((SECONDS - start)) s"
