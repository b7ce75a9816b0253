#!/usr/bin/env bash
# The golden picture of two seeded presses at a display scale, as the trace
# tool renders it through the window's canvas: any change to the line weight,
# where the ends fall or what the canvas keeps shows here pixel for pixel.
#   check_scaled_picture.sh TRACE_TOOL GOLDEN_DIR SCALE
set -euo pipefail
tool=$1 golden=$2 scale=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$tool" --seed 1 --presses 2 --png "$work/picture.png" --scale "$scale" >/dev/null
expected=$golden/seed1-press2-scale$scale.png
diff_pixels=$(/usr/bin/compare -metric AE "$work/picture.png" "$expected" "$work/diff.png" 2>&1 || true)
if [ "$diff_pixels" != "0" ]; then
    echo "picture at scale $scale differs from $expected in $diff_pixels pixels"
    # Left beside the build for a look: red where they differ.
    cp "$work/picture.png" "picture-scale$scale.png" 2>/dev/null || true
    cp "$work/diff.png" "diff-scale$scale.png" 2>/dev/null || true
    exit 1
fi
echo "golden picture at scale $scale matches"
