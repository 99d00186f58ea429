#!/usr/bin/env bash
# Installs the Debian packages VornReader needs (only the missing ones), configures and builds.
#   scripts/setup.sh run    build, then start the program (arguments after "run" go to it)
#   scripts/setup.sh test   build, then run every test
#   scripts/setup.sh build  build only
#   scripts/setup.sh package  build, then make the Debian package vornreader_<version>_<arch>.deb
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VORN_BUILD_DIR:-$root/build}"
mode="${1:-build}"

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev qt6-translations-l10n
    libsqlite3-dev libxlsxwriter-dev libbenchmark-dev libuchardet-dev libicu-dev
    xvfb xauth dbus dbus-bin fonts-noto-cjk clang-format poppler-utils unzip
    clang-14 libfuzzer-14-dev libclang-rt-14-dev desktop-file-utils
    dpkg-dev file lintian appstream cups-daemon cups-client libcups2-dev
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORN_WERROR=ON >/dev/null
fi
cmake --build "$build"

case "$mode" in
run)
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        echo "No display: start $build/app/vornreader from a desktop session." >&2
        exit 1
    fi
    exec "$build/app/vornreader" "${@:2}"
    ;;
test)
    cd "$build"
    ctest --output-on-failure -j2
    ;;
build) ;;
package)
    cd "$build"
    cpack -G DEB
    ;;
*)
    echo "usage: $0 [run|test|build|package]" >&2
    exit 2
    ;;
esac
