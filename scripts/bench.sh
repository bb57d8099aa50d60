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
#
# BENCH_REPETITIONS (default 10) sets how many interleaved repetitions each median is taken of.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"

packages=(libbenchmark-dev cmake ninja-build g++ qt6-base-dev libxcb1-dev libzip-dev pkg-config)

. "$here/scripts/install_missing.sh"

install_missing "${packages[@]}"
cmake --preset bench >/dev/null
cmake --build --preset bench

# Repetitions of different benchmarks are interleaved at random, so that a burst of load on a
# shared machine falls on both sides of a pair alike; the medians then ignore the outliers.
exec build/bench/bench/vorta_bench \
    --benchmark_repetitions="${BENCH_REPETITIONS:-10}" \
    --benchmark_report_aggregates_only=true \
    --benchmark_enable_random_interleaving=true \
    --benchmark_min_time=0.2 \
    "$@"
