#!/bin/sh
# Renders the committed PNG icons from the SVG beside this script. Run it after changing the
# SVG; it needs rsvg-convert (Debian package librsvg2-bin).
set -eu
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
    mkdir -p "${size}x${size}"
    rsvg-convert -w "$size" -h "$size" io.github.vorta.Vorta.svg -o "${size}x${size}/io.github.vorta.Vorta.png"
done
