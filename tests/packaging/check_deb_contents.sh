#!/usr/bin/env bash
# The .deb holds exactly the program, its desktop entry, icons and AppStream
# file; its control fields are right, its dependencies name the Qt 6 libraries
# and are real packages; the desktop and AppStream validators accept it.
# Usage: check_deb_contents.sh DEB_DIR PACKAGING_DIR
set -euo pipefail
deb_dir=$1 src=$2
status=0
fail() {
    echo "FAIL: $*" >&2
    status=1
}

debs=("$deb_dir"/vantrel_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "FAIL: expected one vantrel_*.deb in $deb_dir" >&2
    exit 1
fi
deb=${debs[0]}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

# Files: nothing missing, nothing extra (a test binary, a header). A game:
# /usr/games and a manual page in section 6.
app_id=org.vantrel.Vantrel
expected="usr/games/vantrel
usr/share/applications/$app_id.desktop
usr/share/doc/vantrel/changelog.gz
usr/share/doc/vantrel/copyright
usr/share/icons/hicolor/16x16/apps/vantrel.png
usr/share/icons/hicolor/32x32/apps/vantrel.png
usr/share/icons/hicolor/48x48/apps/vantrel.png
usr/share/man/man6/vantrel.6.gz
usr/share/metainfo/$app_id.metainfo.xml"
actual=$(cd "$root" && find . -type f -printf '%P\n' | LC_ALL=C sort)
if [ "$actual" != "$expected" ]; then
    fail "file list differs (- expected, + packaged):"
    diff <(echo "$expected") <(echo "$actual") >&2 || true
fi
[ -x "$root/usr/games/vantrel" ] || fail "usr/games/vantrel is not executable"
for size in 16 32 48; do
    cmp -s "$root/usr/share/icons/hicolor/${size}x$size/apps/vantrel.png" "$src/icons/vantrel-$size.png" ||
        fail "the ${size}x$size icon is not icons/vantrel-$size.png"
done

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = vantrel ] || fail "Package: $(field Package)"
[ "$(field Version)" = 1.00 ] || fail "Version: $(field Version)"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
depends=$(field Depends)
echo "Depends: $depends"
# One package name a line, versions and alternatives dropped.
names=$(sed -E 's/ \([^)]*\)//g; s/[,|]/\n/g; s/ //g' <<<"$depends")
for lib in libqt6core6 libqt6gui6 libqt6widgets6 libstdc++6 libc6; do
    grep -qxF "$lib" <<<"$names" || fail "Depends does not name $lib"
done
# Every dependency is a package this system knows, i.e. dpkg-shlibdeps found
# the owners of the libraries rather than inventing names.
for pkg in $names; do
    dpkg-query -W "$pkg" >/dev/null 2>&1 || fail "Depends names $pkg, which dpkg does not know"
done

# Desktop entry and AppStream metadata.
desktop=$root/usr/share/applications/$app_id.desktop
metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml
for line in "Name=Vantrel v2.0" "Exec=vantrel" "Icon=vantrel" "Type=Application"; do
    grep -qxF "$line" "$desktop" || fail "desktop entry lacks '$line'"
done
desktop-file-validate "$desktop" || fail "desktop-file-validate"
grep -q '<release version="1.00"' "$metainfo" || fail "metainfo names no release 1.00"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
# The tree check also finds the desktop entry the metainfo launches.
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree"

exit $status
