#!/usr/bin/env bash
# Every test and gate: the optimised build with warnings as errors, the
# sanitizer build, and the style checks. Called by tools/dev.sh test.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS

echo "== build and test (ci preset: warnings are errors)"
cmake --preset ci >/dev/null
cmake --build --preset ci
ctest --preset ci -j2

echo "== style: clang-format and clang-tidy"
bash tools/lint.sh build/ci

echo "== windows (mingw preset: cross-built with MinGW-w64, tests run under Wine)"
bash tests/windows/cross_check.sh

echo "== build and test (asan preset: AddressSanitizer + UndefinedBehaviorSanitizer)"
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan -j2

echo "== fuzz (libFuzzer on clang, ASan + UBSan: a short fixed run from the seed corpus)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz

echo "== all checks passed in $((SECONDS - start)) s"
