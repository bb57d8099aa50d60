#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The vorta developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures what each event of the program costs beside the floor it cannot go below (the file
# read of the event, Qt's own start-up), side by side in one run, and prints the medians and
# their ratios. Installs Google Benchmark when it is missing, builds the bench preset (Release,
# -O2) and runs every benchmark.
#
#   scripts/bench.sh                            everything, about a minute and a half
#   scripts/bench.sh --benchmark_filter=start   only the start-up pair (any Google Benchmark flag)
#   scripts/bench.sh web                        the page: its weight, a move in WebAssembly
#                                               beside the same move natively, its first step
#
# BENCH_REPETITIONS (default 10) sets how many interleaved repetitions each median is taken of.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"

packages=(libbenchmark-dev cmake ninja-build g++ qt6-base-dev libxcb1-dev libzip-dev pkg-config
          zlib1g-dev)

. "$here/scripts/install_missing.sh"

install_missing "${packages[@]}"
cmake --preset bench >/dev/null

if [ "${1:-}" = web ]; then
    install_missing googletest
    install_missing_programs emcc=emscripten node=nodejs npm=npm chromium=chromium
    cmake --build build/bench --target bench_core_moves vorta-author sample_story_file
    cmake --preset web >/dev/null
    cmake --build --preset web --target vorta-core vorta-core-node
    (cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
    site="$(mktemp -d)/site"
    trap 'rm -rf "$(dirname "$site")"' EXIT
    build/bench/author/vorta-author web story -o "$site" >/dev/null

    # What a reader downloads besides the story, each file gzipped as a web server sends it.
    echo "Weight of the page (gzip -9), without the story:"
    total=0
    for name in index.html page.js page.css service-worker.js manifest.webmanifest vorta-core.js \
                vorta-core.wasm; do
        size="$(gzip -9c "$site/$name" | wc -c)"
        total=$((total + size))
        printf '  %-22s %7d bytes\n' "$name" "$size"
    done
    awk -v t="$total" 'BEGIN { printf "  %-22s %7d bytes (%.1f KiB)\n", "total", t, t / 1024 }'
    icons="$(cat "$site"/icon* | wc -c)"
    printf '  %-22s %7d bytes, already compressed\n' "the icons" "$icons"

    # The same moves, natively and in the module under node, taken by turns three times; the
    # least of each is kept, as within each run.
    native=()
    wasm=()
    for _ in 1 2 3; do
        native+=("$(build/bench/bench/bench_core_moves build/bench/vorta-sample.vorta)")
        wasm+=("$(node --no-experimental-fetch bench/web_moves.mjs build/web/web/vorta-core-node.js \
                 build/bench/vorta-sample.vorta)")
    done
    printf '%s\n' "${native[@]}" > "$site/../native"
    printf '%s\n' "${wasm[@]}" > "$site/../wasm"
    echo "A move and a tick, processor time, least of 3 runs of 15 repetitions:"
    paste "$site/../wasm" "$site/../native" | awk '
        NR == 1 || $1 < m { m = $1 } NR == 1 || $2 < t { t = $2 }
        NR == 1 || $3 < nm { nm = $3 } NR == 1 || $4 < nt { nt = $4 }
        END {
            printf "  reader'"'"'s move   %6d ns in WebAssembly, %6d ns native: %.2f\n", m, nm, m / nm
            printf "  countdown tick %6d ns in WebAssembly, %6d ns native: %.2f\n", t, nt, t / nt
        }'

    echo "From the page's load to the first step told after a press, headless Chromium, median:"
    read -r loaded drawn < <(node bench/web_first_step.mjs "$site")
    awk -v l="$loaded" -v d="$drawn" 'BEGIN {
        printf "  story ready %d ms, first step drawn %d ms; the load is %d %% of it\n", l, d, 100 * l / d
    }'
    exit 0
fi

cmake --build --preset bench

# Repetitions of different benchmarks are interleaved at random, so that a burst of load on a
# shared machine falls on both sides of a pair alike; the medians then ignore the outliers.
exec build/bench/bench/vorta_bench \
    --benchmark_repetitions="${BENCH_REPETITIONS:-10}" \
    --benchmark_report_aggregates_only=true \
    --benchmark_enable_random_interleaving=true \
    --benchmark_min_time=0.2 \
    "$@"
