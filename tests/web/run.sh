#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The vorta developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The page's browser tests: installs what is missing (Debian's Chromium and Node, the tests'
# packages from their lock file), then runs them all on the sample story's page as
# build/dev/author/vorta-author web writes it with the module of the web preset, so after both
# builds (scripts/dev.sh test makes them). VORTA_SCREENSHOTS=DIR keeps the page's screenshots at
# a phone's and a desktop's width there.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/../../scripts/install_missing.sh"
install_missing_programs chromium=chromium node=nodejs npm=npm
cd "$here"
npm ci --no-audit --no-fund --loglevel=error
node --test page.test.mjs
