#!/usr/bin/env bash
# Installs the Debian packages VornReader needs (only the missing ones), configures and builds.
#   scripts/setup.sh run    build, then start the program
#   scripts/setup.sh test   build, then run every test
#   scripts/setup.sh build  build only
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VORN_BUILD_DIR:-$root/build}"
mode="${1:-build}"

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libsqlite3-dev libxlsxwriter-dev libbenchmark-dev
    xvfb xauth dbus dbus-bin fonts-noto-cjk clang-format
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
    # Until the main window can open a library, the command-line tool shows the main job: the bundled
    # generator files read into a fresh library, then the library listed.
    home="$(mktemp -d)"
    export VORNREADER_HOME="$home"
    library="$home/Samples.mdb"
    "$build/app/vornreader-cli" new "$library"
    "$build/app/vornreader-cli" read "$library" "$root"/samples/sequence.*
    "$build/app/vornreader-cli" list "$library"
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        exec "$build/app/vornreader"
    fi
    ;;
test)
    cd "$build"
    ctest --output-on-failure -j2
    ;;
build) ;;
*)
    echo "usage: $0 [run|test|build]" >&2
    exit 2
    ;;
esac
