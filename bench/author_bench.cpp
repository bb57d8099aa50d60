// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The authors' simulations beside the one read of the tree that they cannot go below: a
// coverage run reads every file once, as a check does, and tells its stories from memory.
#include "bench_support.h"

#include "author/simulation/story_run.h"
#include "core/story_check.h"

#include <benchmark/benchmark.h>

namespace vorta::bench {

namespace {

constexpr int kCoverageStories = 10000;

// What `vorta-author check` does with the sample tree, short of printing.
void checkCost(benchmark::State &bm)
{
    for (auto _ : bm)
        benchmark::DoNotOptimize(checkTree(dataTree()).diagnostics.size());
}
BENCHMARK(checkCost)->Name("author/check")->Unit(benchmark::kMillisecond);

// What `vorta-author coverage --stories 10000` does: the check's one read of every file, then
// ten thousand stories told from what it read.
void coverageCost(benchmark::State &bm)
{
    try {
        for (auto _ : bm) {
            const CheckResult checked = checkTree(dataTree());
            benchmark::DoNotOptimize(
                author::runCoverage(checked.files, checked.data, kCoverageStories).variantsTold);
        }
    } catch (const StoryError &error) {
        bm.SkipWithError(error.what());
    }
}
BENCHMARK(coverageCost)->Name("author/coverage")->Unit(benchmark::kMillisecond);

} // namespace

} // namespace vorta::bench
