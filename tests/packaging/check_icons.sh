#!/usr/bin/env bash
# make_icon.py reproduces the committed icons byte for byte: they are what the
# script draws, and the script still writes every one of them.
# Usage: check_icons.sh PYTHON PACKAGING_DIR
set -euo pipefail
python=$1 src=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

"$python" "$src/make_icon.py" "$tmp"

expected="icons/vantrel-16.png
icons/vantrel-32.png
icons/vantrel-48.png
vantrel.icns
vantrel.ico"
written=$(cd "$tmp" && find . -type f -printf '%P\n' | LC_ALL=C sort)
status=0
if [ "$written" != "$expected" ]; then
    echo "FAIL: make_icon.py wrote a different set of files:" >&2
    diff <(echo "$expected") <(echo "$written") >&2 || true
    status=1
fi
for f in $expected; do
    if ! cmp "$tmp/$f" "$src/$f"; then
        echo "FAIL: packaging/$f differs from what make_icon.py writes; rerun it and commit" >&2
        status=1
    fi
done
exit $status
