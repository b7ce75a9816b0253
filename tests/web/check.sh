#!/usr/bin/env bash
# The browser page as tools/check.sh checks it: the web preset built, its
# trace tool run under node against the golden trace, then the page driven in
# headless Chromium (check_page.js) against the native trace tool's pictures.
#   bash tests/web/check.sh [NATIVE_VANTREL_TRACE]
# Without a trace tool one is built in build/web-host. Needs emscripten,
# chromium (tools/dev.sh installs them), node and npm.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
trace=${1:-}
if [ -z "$trace" ]; then
    cmake -S . -B build/web-host -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANTREL_TESTS=OFF -DVANTREL_BENCH=OFF >/dev/null
    cmake --build build/web-host --target vantrel-trace -j2
    trace=build/web-host/frontends/recording/vantrel-trace
fi

cmake --preset web >/dev/null
cmake --build --preset web
size=$(stat -c %s build/web/vantrel.html)
echo "build/web/vantrel.html: $size bytes"

echo "-- the WebAssembly trace under node, against the golden trace"
cmake -DTRACE="node;build/web/frontends/recording/vantrel-trace.js" -DGOLDEN=tests/golden \
      -DWORK=build/web/trace.txt -P tests/golden/check_trace_text.cmake

echo "-- the page in headless Chromium"
# puppeteer-core as pinned by the lock file; installed again only when it changed.
if ! cmp -s tests/web/package-lock.json tests/web/node_modules/.installed-lock; then
    (cd tests/web && npm ci --no-audit --no-fund --loglevel=error && cp package-lock.json node_modules/.installed-lock)
fi
work=build/web/check
rm -rf "$work"
mkdir -p "$work"
for scale in 1 2; do
    "$trace" --seed 1 --png "$work/scale$scale.png" --scale "$scale" >/dev/null
done
# Pictures that differ are left in $work.
cd "$work"
node "$root/tests/web/check_page.js" "$root/build/web" "$root/$work"
