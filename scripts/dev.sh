#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The vorta developers
# SPDX-License-Identifier: GPL-3.0-or-later
# One entry point for a fresh Debian machine: installs what is missing, builds, then runs
# the program on the sample story built from story/ (`run`) or every test (`test`): the desktop
# build's, then the story module's in WebAssembly under node (the web preset, with Debian's
# emscripten) and the page's in headless Chromium.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"

packages=(cmake ninja-build g++ qt6-base-dev libxcb1-dev qt6-translations-l10n fonts-liberation xvfb
          xauth libzip-dev pkg-config zlib1g-dev googletest)

# The web preset: emscripten's compiler and node, which runs the core's tests; the page's own
# tests install Chromium and node's packages themselves (tests/web/run.sh).
web_programs=(emcc=emscripten node=nodejs)

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
    install_missing_programs "${web_programs[@]}"
    build dev
    # After dev: the core's tests in WebAssembly read the story file that dev packs.
    build web
    ctest --preset dev
    ctest --preset web
    tests/web/run.sh
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
