#!/usr/bin/env bash
# Reproduces every figure of docs/PERFORMANCE.md in one run (about 7.5 minutes
# on 2 cores, build included; the web page's figures, four shows in three
# browsers and Lighthouse, are about 4 of them): a Release build of its own in
# build/bench, then each measurement once (the Windows program's show:
# build/mingw, under Wine; the page: build/web).
# Raw outputs go to build/bench/results/, a summary to the terminal. Nothing
# here is a test: figures are read, never asserted.
#   bash tools/bench.sh
# Needs: libbenchmark-dev, libxdamage-dev, xvfb, xdotool, and for the page emscripten, chromium,
# firefox-esr, webkit2gtk-driver, node and npm (all in TEST_PACKAGES of tools/dev.sh); Lighthouse
# and the Node 22 it wants come from npm (bench/web/package-lock.json).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build/bench
out=$build/results
bin=$build/bench

# --- the part that needs an X server: run by this script under bench/with_xvfb.sh
if [ "${1:-}" = "--under-x" ]; then
    echo "== 1. one step under Xvfb ($DISPLAY), MIT-SHM on (Qt's default)"
    "$bin/vantrel-bench-draw" --benchmark_filter='^(Move|Clear)_' --benchmark_min_time=0.5 \
        --benchmark_out="$out/draw-xcb-shm.csv" --benchmark_out_format=csv 2>/dev/null
    echo "== 1. one step under Xvfb, QT_XCB_NO_MITSHM=1"
    QT_XCB_NO_MITSHM=1 "$bin/vantrel-bench-draw" --benchmark_filter='^(Move|Clear)_' --benchmark_min_time=0.5 \
        --benchmark_out="$out/draw-xcb-noshm.csv" --benchmark_out_format=csv 2>/dev/null

    echo "== 4. start-up to the first painted frame, and idle peak RSS (15 interleaved runs)"
    "$bin/vantrel-bench-startup" --repeat 15 --hold 300 \
        "$bin/vantrel-bench-bare" "$bin/vantrel-bench-bare --button" "$build/vantrel" 2>/dev/null |
        tee "$out/startup.json"

    echo "== 4. peak RSS after a whole show (real pacing, one press)"
    "$build/vantrel" 2>/dev/null &
    pid=$!
    trap 'kill $pid 2>/dev/null || true' EXIT
    win=$(timeout 20 xdotool search --sync --all --onlyvisible --pid "$pid" --name '^Vantrel v2\.0 ' | head -n1)
    idle_hwm=$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status")
    xdotool mousemove --window "$win" 360 436 click 1
    pressed=$(date +%s.%N)
    # The greeting: a window of its own titled exactly "Vantrel v2.0". (xdotool
    # ORs its conditions unless told --all.)
    greeting() {
        local w
        for w in $(xdotool search --all --onlyvisible --pid "$pid" --name '^Vantrel v2\.0' 2>/dev/null); do
            [ "$w" != "$win" ] && [ "$(xdotool getwindowname "$w")" = "Vantrel v2.0" ] && return 0
        done
        return 1
    }
    box=
    for _ in $(seq 900); do  # at most 90 s
        greeting && box=yes && break
        sleep 0.1
    done
    greeted=$(date +%s.%N)
    [ -n "$box" ] || { echo "no greeting within 90 s" >&2; exit 1; }
    show_hwm=$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    printf '{"idle_vmhwm_kb": %s, "after_show_vmhwm_kb": %s, "press_to_greeting_s": %.2f}\n' \
        "$idle_hwm" "$show_hwm" "$(awk -v a="$pressed" -v b="$greeted" 'BEGIN { print b - a }')" | tee "$out/show.json"
    exit 0
fi

# Value of a counter or time column of one benchmark row in a Google Benchmark CSV.
csv() {
    awk -F, -v row="$2" -v col="$3" '
        /^name,/ { for (i = 1; i <= NF; i++) { h = $i; gsub(/"/, "", h); c[h] = i } next }
        { n = $1; gsub(/"/, "", n); if (n == row) { v = $c[col]; gsub(/"/, "", v); print v; exit } }' "$1"
}
# A number from a one-line-per-object JSON file: json FILE KEY [LINE-MATCH]
json() { grep -h -- "${3:-}" "$1" | head -n1 | grep -o "\"$2\": [-0-9.]*" | awk '{print $2}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

start=$SECONDS
mkdir -p "$out"
rm -f "$out"/*

echo "== machine"
{
    echo "date: $(date -u '+%Y-%m-%d %H:%M UTC')"
    echo "nproc: $(nproc)"
    echo "cpu: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
    echo "kernel: $(uname -r)"
    echo "qt: $(dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null || echo unknown)"
    echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
} | tee "$out/machine.txt"

echo "== Release build in $build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANTREL_TESTS=OFF -DVANTREL_BENCH=ON >/dev/null
cmake --build "$build" >/dev/null

echo "== 1. one step (24 lines + its repaint), offscreen"
QT_QPA_PLATFORM=offscreen "$bin/vantrel-bench-draw" --benchmark_filter='^(Move|Clear)_' --benchmark_min_time=0.5 \
    --benchmark_out="$out/draw-offscreen.csv" --benchmark_out_format=csv 2>/dev/null

echo "== 2. pacing over a whole fly-in, real pacing, offscreen: idle, then with the other core busy;"
echo "      each after the same wait without Qt (--control): what the machine itself allows right then"
for condition in idle busy; do
    flag=()
    [ "$condition" = busy ] && flag=(--busy)
    "$bin/vantrel-bench-pacing" --control "${flag[@]}" | tee "$out/control-$condition.json"
    QT_QPA_PLATFORM=offscreen "$bin/vantrel-bench-pacing" "${flag[@]}" 2>/dev/null | tee "$out/pacing-$condition.json"
done

echo "== 3. a whole press, pacing off, offscreen, against raw QPainter"
QT_QPA_PLATFORM=offscreen "$bin/vantrel-bench-draw" --benchmark_filter='^Press_' \
    --benchmark_out="$out/press.csv" --benchmark_out_format=csv 2>/dev/null

bash "$root/bench/with_xvfb.sh" bash "$0" --under-x

echo "== 5. stripped binary"
strip -o "$out/vantrel.stripped" "$build/vantrel"
stripped=$(stat -c %s "$out/vantrel.stripped")
echo "$stripped bytes"

echo "== 6. CPU share of a whole show, measured from outside the process (Xvfb, real pacing, one press)"
bash "$root/bench/cpu_share.sh" "$build" 1 | tee "$out/cpu-share.txt"

echo "== 7. the Windows program under Wine (mingw build, Xvfb + openbox): CPU share of a whole show, press to greeting"
cmake --preset mingw >/dev/null
cmake --build "$root/build/mingw" --target vantrel-win32-seeded >/dev/null
bash "$root/tests/windows/gui_check.sh" --bench "$root/build/mingw" | tee "$out/wine-show.json"

echo "== 8. the browser page (web preset): CPU share of the browser's processes during a show, against a floor page in the same browser"
cmake --preset web >/dev/null
cmake --build --preset web >/dev/null
cmp -s "$root/tests/web/package-lock.json" "$root/tests/web/node_modules/.installed-lock" ||
    (cd "$root/tests/web" && npm ci --no-audit --no-fund --loglevel=error && cp package-lock.json node_modules/.installed-lock)
for engine in chromium firefox webkit; do
    node "$root/bench/web_cpu_share.js" "$root/build/web/vantrel.html" 10 "$engine" | tee "$out/web-cpu-$engine.json"
done
# WebKitGTK's default renderer composites through GL, in software here (no GPU); its shared-memory one, as the test runs it.
WEBKIT_DISABLE_DMABUF_RENDERER=1 node "$root/bench/web_cpu_share.js" "$root/build/web/vantrel.html" 10 webkit |
    tee "$out/web-cpu-webkit-shm.json"

echo "== 9. the page's Lighthouse scores, mobile and desktop (Lighthouse and its Node from bench/web/package-lock.json)"
cmp -s "$root/bench/web/package-lock.json" "$root/bench/web/node_modules/.installed-lock" ||
    (cd "$root/bench/web" && npm ci --no-audit --no-fund --loglevel=error && cp package-lock.json node_modules/.installed-lock)
"$root/bench/web/node_modules/.bin/node" "$root/bench/web_lighthouse.js" "$root/build/web/vantrel.html" |
    tee "$out/web-lighthouse.json"

# --- summary
step=Move_LinesAndRepaint/iterations:2717/manual_time
press=Press_ThroughBinding/iterations:1/repeats:5/real_time_median
raw=Press_RawQPainter/iterations:3/repeats:5/real_time_median
press_cpu=$(csv "$out/press.csv" "$press" cpu_time)
raw_cpu=$(csv "$out/press.csv" "$raw" cpu_time)
press_real=$(csv "$out/press.csv" "$press" real_time)
raw_real=$(csv "$out/press.csv" "$raw" real_time)
bare=$out/startup.json
{
    echo
    echo "== summary (medians of this run)"
    for platform in offscreen xcb-shm xcb-noshm; do
        f=$out/draw-$platform.csv
        printf '1. step, %-10s %7.1f us = %5.2f %% of 5 ms (p99 %.0f us; lines alone %.1f us)   goal < 2 %%\n' \
            "$platform" "$(csv "$f" "$step" median_us)" "$(csv "$f" "$step" pct_of_5ms)" \
            "$(csv "$f" "$step" p99_us)" "$(csv "$f" Move_LinesOnly/manual_time median_us)"
    done
    for condition in idle busy; do
        f=$out/pacing-$condition.json
        c=$out/control-$condition.json
        printf '2. pacing, %-5s median %s us (%s %%), p99 |error| %s %% (bare wait: %s %%), within 3 %%: %s %% of pauses (bare wait: %s %%), CPU %s %% of wall   goal 3 %%, CPU < 25 %%\n' \
            "$condition" "$(json "$f" median_us)" "$(json "$f" median_error_pct)" "$(json "$f" p99_abs_error_pct)" \
            "$(json "$c" p99_abs_error_pct)" "$(json "$f" pct_within_3pct)" "$(json "$c" pct_within_3pct)" \
            "$(json "$f" cpu_pct_of_wall)"
    done
    printf '3. press %s ms vs raw QPainter %s ms (CPU time): %sx; wall time %s vs %s ms: %sx   goal < 3x\n' \
        "$press_cpu" "$raw_cpu" "$(ratio "$press_cpu" "$raw_cpu")" "$press_real" "$raw_real" \
        "$(ratio "$press_real" "$raw_real")"
    v_paint=$(json "$bare" paint_ms_median '"vantrel"')
    b_paint=$(json "$bare" paint_ms_median '"vantrel-bench-bare"')
    t_paint=$(json "$bare" paint_ms_median 'bare --button')
    v_hwm=$(json "$bare" vmhwm_kb_median '"vantrel"')
    b_hwm=$(json "$bare" vmhwm_kb_median '"vantrel-bench-bare"')
    t_hwm=$(json "$bare" vmhwm_kb_median 'bare --button')
    s_hwm=$(json "$out/show.json" after_show_vmhwm_kb)
    printf '4. first frame: vantrel %s ms, bare %s ms: %sx (bare + text button %s ms: %sx)   goal < 1.2x\n' \
        "$v_paint" "$b_paint" "$(ratio "$v_paint" "$b_paint")" "$t_paint" "$(ratio "$v_paint" "$t_paint")"
    printf '4. peak RSS idle: vantrel %s kB, bare %s kB: %sx (bare + text button %s kB: %sx)   goal < 1.2x\n' \
        "$v_hwm" "$b_hwm" "$(ratio "$v_hwm" "$b_hwm")" "$t_hwm" "$(ratio "$v_hwm" "$t_hwm")"
    printf '4. peak RSS after a show: %s kB: %sx bare; press to greeting %s s\n' \
        "$s_hwm" "$(ratio "$s_hwm" "$b_hwm")" "$(json "$out/show.json" press_to_greeting_s)"
    printf '5. stripped vantrel: %s bytes (%s KiB)\n' "$stripped" "$((stripped / 1024))"
    printf '6. whole show from outside: CPU %s %% of wall; %s s long (ideal 25.585 s, %s %%); median step %s ms   goal CPU <= 3 %%\n' \
        "$(json "$out/cpu-share.txt" cpu_pct_of_wall)" "$(json "$out/cpu-share.txt" show_s)" \
        "$(json "$out/cpu-share.txt" show_error_pct)" "$(json "$out/cpu-share.txt" median_step_ms)"
    w=$out/wine-show.json
    printf '7. Windows program under Wine: CPU %s %% (wineserver %s %%) of wall; press to greeting %s s inside (%s %%), %s s seen from outside   goal CPU <= 3 %%, within 0.5 %%\n' \
        "$(json "$w" wine_cpu_pct_of_wall)" "$(json "$w" wineserver_cpu_pct_of_wall)" \
        "$(json "$w" press_to_greeting_inside_s)" "$(json "$w" inside_error_pct)" "$(json "$w" press_to_greeting_outside_s)"
    for engine in chromium firefox webkit webkit-shm; do
        w=$out/web-cpu-$engine.json
        printf '8. browser page, %-10s processes %s %% of a core during a show, floor page (a small image every frame) %s %%: %sx; press to greeting %s s   goal <= 1.25x the floor\n' \
            "$engine:" "$(json "$w" show_cpu_pct)" "$(json "$w" floor_cpu_pct)" "$(json "$w" ratio_to_floor)" "$(json "$w" press_to_greeting_s)"
    done
    for form in mobile desktop; do
        w=$out/web-lighthouse.json
        printf '9. Lighthouse, %-7s performance %s, accessibility %s, best practices %s, SEO %s; CLS %s   goal 95+, 100, 100, 100\n' \
            "$form:" "$(json "$w" performance "$form")" "$(json "$w" accessibility "$form")" \
            "$(json "$w" best_practices "$form")" "$(json "$w" seo "$form")" "$(json "$w" cls "$form")"
    done
    echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg); $((SECONDS - start)) s in all"
} | tee "$out/summary.txt"
