#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The vorta developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets (fuzz preset) and runs each one for a bounded time on its seed
# corpus. Fails on any crash, leak, hang, sanitizer report or broken property, and prints the
# executions per target and in all. FUZZ_SECONDS sets the time per target (default 12).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"

seconds="${FUZZ_SECONDS:-12}"
targets=(settings catalogue fragment finale iq_value journal manuscript story_file)
packages=(clang-14 libclang-rt-14-dev cmake ninja-build qt6-base-dev libzip-dev pkg-config zlib1g-dev)

. "$here/scripts/install_missing.sh"

install_missing "${packages[@]}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --parallel "${FUZZ_JOBS:-2}"

build=build/fuzz
# Every input is written to a file before it is read: keep those writes in memory when we can.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

failed=()
total=0
declare -A runs
for t in "${targets[@]}"; do
    work="$build/corpus/$t"
    artifacts="$build/artifacts/$t/"
    log="$build/fuzz_$t.log"
    mkdir -p "$work" "$artifacts"
    status=0
    # The outer limit only catches a fuzzer that stops answering; hangs of one input are
    # -timeout's job.
    timeout --kill-after=10 "$((seconds + 120))" \
        "$build/fuzz/fuzz_$t" "$work" "fuzz/corpus/$t" \
        -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -detect_leaks=1 \
        -print_final_stats=1 -artifact_prefix="$artifacts" >"$log" 2>&1 || status=$?
    count="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
    count="${count:-0}"
    runs[$t]=$count
    total=$((total + count))
    if [ "$status" -ne 0 ] || grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:|fuzz property broken' "$log"; then
        failed+=("$t")
        echo "fuzz_$t FAILED (exit $status); log: $log" >&2
        grep -E 'ERROR|runtime error|SUMMARY|fuzz property|Test unit written' "$log" | head -n 20 >&2 || true
    fi
done

printf '%-12s %12s\n' target executions
for t in "${targets[@]}"; do
    printf '%-12s %12s\n' "$t" "${runs[$t]}"
done
printf '%-12s %12s\n' total "$total"

if [ ${#failed[@]} -ne 0 ]; then
    echo "fuzzing failed: ${failed[*]}" >&2
    exit 1
fi
