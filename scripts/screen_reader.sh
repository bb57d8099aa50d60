#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The vorta developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Hear the window as a blind reader does: the program runs on a virtual display under the Orca
# screen reader, whose speech goes to a text file instead of a sound card, while a script of
# keys is typed into the window.
#
#   scripts/screen_reader.sh [OUT [KEYS]]
#
# OUT: a folder for what was heard (default build/screen-reader); KEYS: a bash file of keys to
# type (default scripts/screen_reader/tour.keys), which may use `key KEYS...`, `pause SECONDS`
# and `mark TEXT`. Afterwards OUT/spoken.txt holds every utterance, the marks between them, and
# OUT/orca-debug.txt Orca's own log. The program is build/dev/app/vorta on the sample story in
# build/dev/data (PROGRAM and STORY override them), read in a copy under OUT, so that the story
# itself keeps no journal of the tour.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$(realpath -m "${1:-$here/build/screen-reader}")"
keys="$(realpath "${2:-$here/scripts/screen_reader/tour.keys}")"
program="$(realpath -m "${PROGRAM:-$here/build/dev/app/vorta}")"
story="$(realpath -m "${STORY:-$here/build/dev/data}")"

# First, outside: the tools, then a virtual display and a session bus of its own, in which this
# script runs again.
if [ -z "${VORTA_SCREEN_READER_SESSION:-}" ]; then
    . "$here/scripts/install_missing.sh"
    install_missing orca speech-dispatcher espeak-ng at-spi2-core openbox xdotool \
        python3-pyatspi libao4 xvfb xauth dbus
    [ -x "$program" ] || { echo "no program at $program: build it first" >&2; exit 1; }
    [ -d "$story" ] || { echo "no story at $story: build it first" >&2; exit 1; }
    rm -rf "$out"
    mkdir -p "$out"
    cp -a "$story" "$out/story"
    export VORTA_SCREEN_READER_SESSION=1 STORY="$out/story"
    exec xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- "$0" "$out" "$keys"
fi

# Inside: a home of its own, so the reader's own settings are neither used nor touched.
home="$out/home"
mkdir -p "$home/.config/speech-dispatcher/modules" "$home/.local/share/orca" "$out/runtime" \
    "$out/speech-dispatcher"
chmod 700 "$out/runtime"
spoken="$out/spoken.txt"
: >"$spoken"
sed "s#@LOG@#$out/speech-dispatcher#" "$here/scripts/screen_reader/speechd.conf" \
    >"$home/.config/speech-dispatcher/speechd.conf"
sed "s#@SPOKEN@#$spoken#" "$here/scripts/screen_reader/to-file.conf" \
    >"$home/.config/speech-dispatcher/modules/to-file.conf"
cp "$here/scripts/screen_reader/orca-settings.conf" "$home/.local/share/orca/user-settings.conf"
# The sound library plays into nothing.
echo "default_driver=null" >"$home/.libao"
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
    XDG_RUNTIME_DIR="$out/runtime" LANG=C.UTF-8

started=()
stop_all() {
    local i
    for ((i = ${#started[@]} - 1; i >= 0; i--)); do
        kill "${started[i]}" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    local speechd
    speechd=$(cat "$out/runtime/speech-dispatcher/pid/speech-dispatcher.pid" 2>/dev/null || true)
    [ -z "$speechd" ] || kill "$speechd" 2>/dev/null || true
}
trap stop_all EXIT

/usr/libexec/at-spi-bus-launcher --launch-immediately >"$out/at-spi.log" 2>&1 &
started+=($!)
sleep 2
openbox >"$out/openbox.log" 2>&1 &
started+=($!)
sleep 1
orca --replace --debug-file="$out/orca-debug.txt" >"$out/orca.log" 2>&1 &
started+=($!)
sleep 6

# The keys file's words.
mark() { printf '=== %s\n' "$*" >>"$spoken"; }
key() { xdotool key --delay 150 "$@"; }
pause() { sleep "$1"; }

(cd "$story" && QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb exec "$program") \
    >"$out/vorta.log" 2>&1 &
started+=($!)
sleep 4
# shellcheck source=/dev/null
. "$keys"
mark end
sleep 1
cat "$spoken"
