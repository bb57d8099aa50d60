#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The vorta developers
# SPDX-License-Identifier: GPL-3.0-or-later
# One entry point for a fresh Debian machine: installs what is missing, builds, then runs
# the program on the sample story built from story/ (`run`) or every test (`test`).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"

packages=(cmake ninja-build g++ qt6-base-dev libxcb1-dev qt6-translations-l10n fonts-liberation xvfb
          xauth libzip-dev pkg-config)

. "$here/scripts/install_missing.sh"

build() {
    cmake --preset "$1" >/dev/null
    cmake --build --preset "$1"
}

case "${1:-}" in
run)
    install_missing "${packages[@]}"
    build dev
    # The sample story built from its manuscript (story/) by the build.
    cd build/dev/data && exec ../app/vorta
    ;;
test)
    install_missing "${packages[@]}"
    build dev
    ctest --preset dev
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
