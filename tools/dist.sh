#!/usr/bin/env bash
# Builds a release and writes it into dist/: the .deb, the Windows zip, the
# page and SHA256SUMS over them. Called by `bash tools/dev.sh dist`, which
# installs what is missing first.
#   bash tools/dist.sh
# The same commit gives the same bytes in any folder at any time: every
# timestamp is the commit's (SOURCE_DATE_EPOCH, if not set already) and no
# build path reaches an output. Release targets only, in build/dist-*, made
# afresh each time: a build tree kept from another commit would keep that
# commit's time where a tool wrote it (Qt's resource compiler does).
set -euo pipefail
cd "$(dirname "$0")/.."
src=$PWD

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$src" log -1 --format=%ct) || {
        echo "dist: no commit to take the release's time from; set SOURCE_DATE_EPOCH" >&2
        exit 1
    }
fi
export SOURCE_DATE_EPOCH
# Nothing of the caller's locale, time zone or umask may show in a file.
export TZ=UTC LC_ALL=C.UTF-8
umask 022
jobs=(-j2)

configure() { # BUILD_DIR CMAKE_ARGS...
    local dir=$1
    shift
    rm -rf "$dir"
    cmake -S "$src" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANTREL_TESTS=OFF -DVANTREL_BENCH=OFF \
        -DVANTREL_WERROR=ON "$@" >/dev/null
}

echo "== Linux: the .deb"
linux=$src/build/dist-linux
configure "$linux"
cmake --build "$linux" "${jobs[@]}" --target vantrel
rm -rf "$linux/package"
cpack --config "$linux/CPackConfig.cmake" -G DEB -B "$linux/package" >/dev/null
version=$(sed -n 's/^set(CPACK_DEBIAN_PACKAGE_VERSION "\(.*\)")$/\1/p' "$linux/CPackConfig.cmake")
[ -n "$version" ] || {
    echo "dist: no package version in $linux/CPackConfig.cmake" >&2
    exit 1
}

echo "== Windows: vantrel-$version-windows-x64.zip"
windows=$src/build/dist-windows
configure "$windows" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64-x86_64.cmake"
cmake --build "$windows" "${jobs[@]}" --target vantrel
# The zip is written here rather than by cpack: entries sorted, the commit's
# time, fixed permissions, whatever the file system's order and times.
zip_name=vantrel-$version-windows-x64
rm -rf "$windows/package"
cmake --install "$windows" --prefix "$windows/package/$zip_name" >/dev/null
python3 - "$windows/package" "$zip_name" <<'PY'
import os, sys, time, zipfile
root, name = sys.argv[1], sys.argv[2]
stamp = time.gmtime(max(int(os.environ["SOURCE_DATE_EPOCH"]), 315532800))[:6]  # zip times start in 1980
with zipfile.ZipFile(os.path.join(root, name + ".zip"), "w") as z:
    for entry in sorted(os.listdir(os.path.join(root, name))):
        info = zipfile.ZipInfo(name + "/" + entry, stamp)
        info.compress_type = zipfile.ZIP_DEFLATED
        info.external_attr = 0o100644 << 16
        with open(os.path.join(root, name, entry), "rb") as f:
            z.writestr(info, f.read(), compresslevel=9)
PY

echo "== the browser: vantrel.html"
web=$src/build/dist-web
# The web preset's flags, which Debian's emcc needs.
configure "$web" -DCMAKE_TOOLCHAIN_FILE=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake \
    -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_EXE_LINKER_FLAGS_RELEASE=-O2
cmake --build "$web" "${jobs[@]}" --target vantrel_page

out=$src/dist
rm -rf "$out"
mkdir -p "$out"
files=("vantrel_${version}_$(dpkg --print-architecture).deb" "vantrel-$version-windows-x64.zip" vantrel.html)
cp "$linux/package/${files[0]}" "$windows/package/$zip_name.zip" "$web/vantrel.html" "$out/"
(cd "$out" && sha256sum "${files[@]}" >SHA256SUMS)
echo "== $out"
(cd "$out" && ls -l "${files[@]}" SHA256SUMS)
