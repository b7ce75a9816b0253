#!/usr/bin/env bash
# Golden trace of two presses with a fixed seed: any change to what the show
# draws, draws with, reads or shows changes it. On a mismatch the first
# differing lines are printed, so the change can be read, not only detected.
#   check_trace.sh TRACE_TOOL GOLDEN_DIR
set -euo pipefail
tool=$1 golden=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$tool" --seed 1 --presses 2 --png "$work/picture.png" >"$work/trace.txt"
status=0
# Head and tail are kept as text; the whole trace (212798 lines) as a hash.
if ! diff <(head -n 80 "$work/trace.txt") "$golden/seed1-press2.head.txt"; then
    echo "trace head differs"; status=1
fi
if ! diff <(tail -n 40 "$work/trace.txt") "$golden/seed1-press2.tail.txt"; then
    echo "trace tail differs"; status=1
fi
if [ "$(sha256sum <"$work/trace.txt" | cut -d' ' -f1)" != "$(cat "$golden/seed1-press2.sha256")" ]; then
    echo "trace hash differs; counts per kind now:"
    cut -d' ' -f1 "$work/trace.txt" | sort | uniq -c
    status=1
fi
# The picture at the second greeting, pixel for pixel.
diff_pixels=$(/usr/bin/compare -metric AE "$work/picture.png" "$golden/seed1-press2.png" null: 2>&1 || true)
if [ "$diff_pixels" != "0" ]; then
    echo "picture differs in $diff_pixels pixels"; status=1
fi
[ "$status" -eq 0 ] && echo "golden trace and picture match"
exit "$status"
