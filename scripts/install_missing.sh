# SPDX-FileCopyrightText: 2026 The vorta developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the scripts beside it: installs the Debian packages given that are not installed
# yet, through sudo when not root.
install_missing() {
    local missing=()
    for p in "$@"; do
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

# The same for programs, given as PROGRAM=PACKAGE: the package is installed when the program is
# not on the PATH, since a program can come from elsewhere than Debian (node from a newer build).
install_missing_programs() {
    local packages=()
    for pair in "$@"; do
        command -v "${pair%%=*}" >/dev/null || packages+=("${pair#*=}")
    done
    install_missing "${packages[@]}"
}
