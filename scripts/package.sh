#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The vorta developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from the release preset (cpack -G DEB) and checks what it holds the
# way a distribution would: the desktop entry, the AppStream metadata and the manual pages with
# their validators, the story file's type with the shared MIME database (the sample story must be
# recognised by its name and by its contents alone), and the whole package with lintian (errors
# fail). Checks first that the
# committed icons are renders of the SVG. The package ships the page that `vorta-author web`
# writes, so the story module is built first (the web preset, with Debian's emscripten), and
# the installed files are checked with it. Prints the package's path.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"

# Every program the script calls, and what those call in turn: cpack's dependency scan needs
# dpkg-shlibdeps (dpkg-dev), man renders through groff (groff-base), and without a desktop session
# xdg-mime asks `mimetype` (libfile-mimeinfo-perl, only recommended by xdg-utils, so not brought
# by --no-install-recommends), and `file`, which knows no story files, when that is missing.
packages=(cmake ninja-build g++ qt6-base-dev libxcb1-dev dpkg-dev file desktop-file-utils appstream
          lintian man-db groff-base librsvg2-bin libzip-dev pkg-config zlib1g-dev
          shared-mime-info xdg-utils libfile-mimeinfo-perl)

. "$here/scripts/install_missing.sh"

install_missing "${packages[@]}" googletest
install_missing_programs emcc=emscripten node=nodejs

# The committed PNG icons must be the renders of the SVG as it stands.
renders="$(mktemp -d)"
trap 'rm -rf "$renders"' EXIT
dist/icons/render.sh "$renders"
for png in "$renders"/*/*.png; do
    committed="dist/icons/${png#"$renders"/}"
    cmp -s "$png" "$committed" || { echo "$committed is stale: run dist/icons/render.sh" >&2; exit 1; }
done
cmake --preset web >/dev/null
cmake --build --preset web --target vorta-core
cmake --preset release -DVORTA_WEB_MODULE_DIR="$here/build/web/web" >/dev/null
cmake --build --preset release
# Every file where the package puts it, and its vorta-author writing a page from the manuscript.
ctest --test-dir build/release -R '^dist\.install_tree$' --output-on-failure
rm -f build/release/vorta_*.deb
cpack --preset release
deb="$(ls build/release/vorta_*.deb)"

contents="$(mktemp -d)"
trap 'rm -rf "$renders" "$contents"' EXIT
dpkg-deb -x "$deb" "$contents"
desktop-file-validate "$contents"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$contents"/usr/share/metainfo/*.metainfo.xml
for page in "$contents"/usr/share/man/man*/*.gz; do
    # man prints groff's warnings on stderr and still succeeds: any warning fails here.
    warnings="$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)"
    if [ -n "$warnings" ]; then
        echo "$page:" >&2
        echo "$warnings" >&2
        exit 1
    fi
done
# The story file's type as the desktop learns it: the package's MIME file compiled into a
# database of its own, then the packed sample story recognised, also under a name that says
# nothing.
mime="$(mktemp -d)"
trap 'rm -rf "$renders" "$contents" "$mime"' EXIT
mkdir -p "$mime/share"
cp -R "$contents/usr/share/mime" "$mime/share/"
update-mime-database "$mime/share/mime"
cp "$contents/usr/share/vorta/vorta-sample.vorta" "$mime/nameless"
for file in "$contents/usr/share/vorta/vorta-sample.vorta" "$mime/nameless"; do
    type="$(XDG_DATA_DIRS="$mime/share:/usr/share" xdg-mime query filetype "$file")"
    if [ "$type" != application/x-vorta-story ]; then
        echo "$file is recognised as $type, not as a story file" >&2
        exit 1
    fi
done
lintian --fail-on error --info "$deb"
echo "$deb"
