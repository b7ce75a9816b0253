#!/usr/bin/env bash
# A release is reproducible: tools/dist.sh run on two copies of this tree, in
# folders of different names and depths, one after the other, with different
# umasks, time zones, locales and file times, writes the same files byte for
# byte. A file that differs is named with the first offset where it does.
# Also: the release holds what a user takes, and SHA256SUMS matches it.
# Usage: check_reproducible.sh [SOURCE_DIR]    (default: this checkout)
set -euo pipefail
src=$(cd "${1:-$(dirname "$0")/../..}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH=$(git -C "$src" log -1 --format=%ct)

# The tree as it stands (uncommitted changes included), without build trees;
# its files as new as a fresh checkout at the given time.
copy_tree() { # DIR TIME
    mkdir -p "$1"
    (cd "$src" && git ls-files -z --cached --others --exclude-standard |
        tar --null --ignore-failed-read -T - -cf - 2>/dev/null) | tar -xf - -C "$1"
    find "$1" -exec touch -h -d "$2" {} +
}
a=$work/a/vantrel
b=$work/second/deeper/folder/vantrel-copy
copy_tree "$a" "2 hours ago"
copy_tree "$b" "1 hour ago"
(umask 022 && TZ=UTC LC_ALL=C bash "$a/tools/dist.sh") >"$work/a.log" 2>&1 || {
    cat "$work/a.log"
    exit 1
}
(umask 077 && TZ=Pacific/Kiritimati LC_ALL=C.UTF-8 bash "$b/tools/dist.sh") >"$work/b.log" 2>&1 || {
    cat "$work/b.log"
    exit 1
}

status=0
fail() {
    echo "FAIL: $*" >&2
    status=1
}
listing_a=$(cd "$a/dist" && ls)
[ "$listing_a" = "$(cd "$b/dist" && ls)" ] || fail "the two releases hold different files"
expected="SHA256SUMS
vantrel-1.00-windows-x64.zip
vantrel.html
vantrel_1.00_$(dpkg --print-architecture).deb"
[ "$listing_a" = "$expected" ] || fail "dist/ holds: $(tr '\n' ' ' <<<"$listing_a")"
for file in $listing_a; do
    [ -f "$b/dist/$file" ] || continue
    # cmp counts bytes from 1; the offset is from 0.
    if diff=$(cmp "$a/dist/$file" "$b/dist/$file"); then
        echo "ok   $file: $(stat -c %s "$a/dist/$file") bytes, identical"
    else
        byte=$(sed -n 's/.* differ: byte \([0-9]*\),.*/\1/p' <<<"$diff")
        fail "$file differs between the two builds from offset $([ -n "$byte" ] && echo $((byte - 1)) || echo "? ($diff)")"
        # Which of the package's files, when it is the .deb.
        case $file in *.deb) diff <(dpkg-deb -c "$a/dist/$file") <(dpkg-deb -c "$b/dist/$file") | head -n 6 >&2 || true ;; esac
    fi
done
(cd "$a/dist" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the files"
zip_files=$(python3 -c 'import sys, zipfile
print(" ".join(i.filename for i in zipfile.ZipFile(sys.argv[1]).infolist()))' "$a/dist/vantrel-1.00-windows-x64.zip")
top=vantrel-1.00-windows-x64
[ "$zip_files" = "$top/LICENSE.txt $top/README.txt $top/vantrel.exe" ] || fail "the zip holds: $zip_files"
exit $status
