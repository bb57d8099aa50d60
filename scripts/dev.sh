#!/usr/bin/env bash
# One entry point for a fresh Debian machine: installs what is missing, builds, then runs
# the program on the sample data (`run`) or every test (`test`).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"

packages=(cmake ninja-build g++ qt6-base-dev fonts-liberation xvfb xauth)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends \
        "${missing[@]}"
}

build() {
    cmake --preset "$1" >/dev/null
    cmake --build --preset "$1"
}

case "${1:-}" in
run)
    install_missing
    build dev
    cd data && exec ../build/dev/app/vorta
    ;;
test)
    install_missing
    build dev
    ctest --preset dev
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
