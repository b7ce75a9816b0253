#!/usr/bin/env bash
# Style gates: clang-format on every C++ file, clang-tidy on the program's
# own sources (tests and benchmarks are formatted, not tidied).
#   lint.sh BUILD_DIR   (a configured build with compile_commands.json)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/ci}

mapfile -t all < <(git ls-files -co --exclude-standard '*.cpp' '*.h')
echo "clang-format: ${#all[@]} files"
clang-format --dry-run --Werror "${all[@]}"

mapfile -t sources < <(git ls-files -co --exclude-standard 'core/*.cpp' 'platform/*.cpp' 'frontends/*.cpp')
echo "clang-tidy: ${#sources[@]} files"
run-clang-tidy -quiet -p "$build" -j "$(nproc)" "${sources[@]/#/$PWD/}" >/tmp/vantrel-tidy.$$ 2>&1 || {
    grep -E "(warning|error):" -A3 /tmp/vantrel-tidy.$$ | head -100
    rm -f /tmp/vantrel-tidy.$$
    exit 1
}
rm -f /tmp/vantrel-tidy.$$
echo "lint clean"
