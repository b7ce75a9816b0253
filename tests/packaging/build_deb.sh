#!/usr/bin/env bash
# Builds the .deb from the build tree, as `cpack` does by hand.
# Usage: build_deb.sh CMAKE CPACK BUILD_DIR OUT_DIR
set -euo pipefail
cmake=$1 cpack=$2 build_dir=$3 out_dir=$4

# cpack packs whatever is in the build tree; make sure the program is current.
"$cmake" --build "$build_dir" --target vantrel
rm -rf "$out_dir"
"$cpack" --config "$build_dir/CPackConfig.cmake" -G DEB -B "$out_dir"
