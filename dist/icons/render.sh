#!/bin/sh
# SPDX-FileCopyrightText: 2026 The vorta developers
# SPDX-License-Identifier: CC-BY-SA-4.0
# Renders the PNG icons from the SVGs beside this script, into this folder (the committed
# renders) or into OUTDIR. Run it after changing the SVG; it needs rsvg-convert (Debian package
# librsvg2-bin).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here}
for size in 16 32 48 64 128 256; do
    mkdir -p "$out/${size}x${size}"
    for icon in io.github.vorta.Vorta application-x-vorta-story; do
        rsvg-convert -w "$size" -h "$size" "$here/$icon.svg" -o "$out/${size}x${size}/$icon.png"
    done
done
