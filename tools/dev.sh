#!/usr/bin/env bash
# One entry point for a new machine: installs what is missing (Debian 12),
# builds, and either starts the program or runs every test.
#   bash tools/dev.sh run    build and start Vantrel
#   bash tools/dev.sh test   build and run every test, as CI does
#   bash tools/dev.sh web    build the browser page, one vantrel.html, and print its path
#   bash tools/dev.sh dist   build a release into dist/: the .deb, the Windows zip, the page, SHA256SUMS
set -euo pipefail
cd "$(dirname "$0")/.."

# libx11-dev brings the xcb headers: without them the window does not see the close
# and destroy notices Qt keeps to itself.
RUN_PACKAGES=(cmake ninja-build g++ qt6-base-dev libstb-dev libx11-dev)
TEST_PACKAGES=(libgtest-dev libbenchmark-dev xvfb xauth xdotool x11-apps x11-utils imagemagick libx11-dev gifsicle
               clang clang-format clang-tidy libclang-rt-14-dev
               python3 dpkg-dev appstream desktop-file-utils
               # a real window manager, for minimise, cover, ping and close
               openbox wmctrl x11-xserver-utils
               # a whole show timed from outside (bench/cpu_share.sh)
               libxdamage-dev
               # Wayland: a headless compositor and Qt's client plugin
               weston qt6-wayland
               # Windows: a cross compiler and Wine to run what it builds
               mingw-w64 g++-mingw-w64-x86-64-posix wine64
               # what screen readers see: the accessibility bus and its Python client
               dbus at-spi2-core python3-pyatspi
               # the browser page: Emscripten builds it; Chromium, Firefox and WebKit play it (tests/web)
               emscripten chromium firefox-esr webkit2gtk-driver
               # Debian's own checker of the .deb
               lintian)
# A release (bash tools/dev.sh dist): the Linux program and its .deb, the
# Windows program cross-built, the page.
DIST_PACKAGES=(cmake ninja-build g++ qt6-base-dev libstb-dev libx11-dev dpkg-dev python3 mingw-w64 g++-mingw-w64-x86-64-posix
               emscripten)
# The browser page alone (bash tools/dev.sh web).
WEB_PACKAGES=(cmake ninja-build libstb-dev emscripten)

install_missing() {
    local missing=()
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

case "${1:-}" in
run)
    install_missing "${RUN_PACKAGES[@]}"
    cmake --preset release >/dev/null
    cmake --build --preset release
    exec ./build/release/vantrel
    ;;
test)
    install_missing "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    exec bash tools/check.sh
    ;;
web)
    install_missing "${WEB_PACKAGES[@]}"
    cmake --preset web >/dev/null
    cmake --build --preset web
    echo "$PWD/build/web/vantrel.html"
    ;;
dist)
    install_missing "${DIST_PACKAGES[@]}"
    exec bash tools/dist.sh
    ;;
*)
    echo "usage: bash tools/dev.sh run|test|web|dist" >&2
    exit 2
    ;;
esac
