// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The engine's costs per event, headless, each beside the file read it cannot avoid.
#include "bench_support.h"

#include "core/data_files.h"
#include "core/moves.h"
#include "core/story_buffer.h"
#include "core/tree_paths.h"
#include "format/qt_text.h"

#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <map>

namespace vorta::bench {

namespace {

// One program's move of a story in progress; the story starts again after its finale, out of
// the timed region.
void programMoveCost(benchmark::State &bm)
{
    try {
        StoryRun run;
        for (auto _ : bm) {
            if (run.finished()) {
                bm.PauseTiming();
                run.restart();
                bm.ResumeTiming();
            }
            run.move();
        }
    } catch (const StoryError &error) {
        bm.SkipWithError(error.what());
    }
}
BENCHMARK(programMoveCost)->Name("programMove");

// Its floor: the same files, in the same order, only read and decoded.
void fragmentFileFloor(benchmark::State &bm)
{
    const QStringList &files = storyFiles();
    qsizetype next = 0;
    for (auto _ : bm) {
        benchmark::DoNotOptimize(readDecodedFile(files.at(next)));
        if (++next == files.size())
            next = 0;
    }
}
BENCHMARK(fragmentFileFloor)->Name("floor/fragmentFile");

// A countdown tick that does not move, in a story of 20 steps.
void countdownTickCost(benchmark::State &bm)
{
    constexpr qint32 kFarAway = 1'000'000'000;
    try {
        StoryRun run;
        for (int i = 0; i < 20; ++i)
            run.move();
        StoryState &story = run.state();
        story.countdownMs = kFarAway;
        for (auto _ : bm) {
            benchmark::DoNotOptimize(countdownTick(story, run.random(), dataTree()));
            if (story.countdownMs < 1'000'000)
                story.countdownMs = kFarAway;
        }
        if (story.stepNumber != 20)
            bm.SkipWithError("a tick moved the story");
    } catch (const StoryError &error) {
        bm.SkipWithError(error.what());
    }
}
BENCHMARK(countdownTickCost)->Name("countdownTick");

void settingsFileFloor(benchmark::State &bm)
{
    const QString path = dataDir().filePath(toQString(kSettingsFile));
    for (auto _ : bm)
        benchmark::DoNotOptimize(readTwoNumbers(path));
}
BENCHMARK(settingsFileFloor)->Name("floor/settingsFile");

// A fresh story holding `count` lines, its view following the end.
StoryState &storyHolding(qint32 count)
{
    static std::map<qint32, StoryState> stories;
    auto found = stories.find(count);
    if (found != stories.end())
        return found->second;
    StoryRun run;
    StoryState story = run.state();
    for (qint32 i = 1; i <= count; ++i)
        appendStoryLine(
            story, toU16(QStringLiteral("Строка %1 рассказа, длиной в обычную строку").arg(i)));
    return stories.emplace(count, std::move(story)).first->second;
}

// Appending one line to a story of 10, 20, 1,000 and 100,000 lines. Each timed batch of four
// lines is taken off again out of the timed region, so the story keeps its length: ten lines
// plus four still fit the view without scrolling, twenty already fill it.
void appendStoryLineCost(benchmark::State &bm)
{
    constexpr int kBatch = 4;
    const std::array<std::u16string, kBatch> lines = {
        u"Фонарщик поднял лестницу и пошёл дальше, к",
        u"мосту, где фонарь горел синим, как всегда.",
        u"Никто в городке не помнил, кто его зажёг",
        u"в первый раз и зачем он горит именно так.",
    };
    try {
        StoryState &story = storyHolding(qint32(bm.range(0)));
        // Only the numbers are kept: a copy of the state would copy every line. The scroll
        // range follows nextLine and the view's place is topLine.
        const qint32 nextLine = story.nextLine;
        const qint32 topLine = story.topLine;
        for (auto _ : bm) {
            const auto start = std::chrono::steady_clock::now();
            for (const std::u16string &line : lines)
                appendStoryLine(story, line);
            const auto end = std::chrono::steady_clock::now();
            bm.SetIterationTime(std::chrono::duration<double>(end - start).count() / kBatch);
            story.storyLines.resize(std::size_t(nextLine));
            story.nextLine = nextLine;
            story.topLine = topLine;
        }
    } catch (const StoryError &error) {
        bm.SkipWithError(error.what());
    }
}
BENCHMARK(appendStoryLineCost)
    ->Name("appendStoryLine")
    ->Arg(10)
    ->Arg(20)
    ->Arg(1000)
    ->Arg(100000)
    ->UseManualTime();

// A reader's move in a story that already holds 10, 300 (about a whole story) or 9,999 lines
// (the most a story may hold). A move keeps what it needs to undo itself should it fail; this
// shows whether that grows with the story. Between moves, out of the timed region, the story is
// taken back to its length and step.
void readerMoveAfterLinesCost(benchmark::State &bm)
{
    try {
        const qint32 count = qint32(bm.range(0));
        StoryRun run;
        StoryState story = run.state();
        for (qint32 i = 1; i <= count; ++i)
            appendStoryLine(
                story, toU16(QStringLiteral("Строка %1 рассказа, длиной в обычную строку").arg(i)));
        const StoryState start = story;
        for (auto _ : bm) {
            const std::u16string caption = story.window.offered[0].caption;
            readerMove(story, caption, run.random(), dataTree());
            bm.PauseTiming();
            story.storyLines.resize(std::size_t(start.nextLine));
            story.nextLine = start.nextLine;
            story.topLine = start.topLine;
            story.stepNumber = 10;
            bm.ResumeTiming();
        }
    } catch (const StoryError &error) {
        bm.SkipWithError(error.what());
    }
}
BENCHMARK(readerMoveAfterLinesCost)->Name("readerMoveAfter")->Arg(10)->Arg(300)->Arg(9999);

// A whole story: 64 program's moves, the last one telling the finale.
void wholeStoryCost(benchmark::State &bm)
{
    try {
        StoryRun run;
        for (auto _ : bm) {
            bm.PauseTiming();
            run.restart();
            bm.ResumeTiming();
            while (!run.finished())
                run.move();
        }
    } catch (const StoryError &error) {
        bm.SkipWithError(error.what());
    }
}
BENCHMARK(wholeStoryCost)->Name("wholeStory")->Unit(benchmark::kMicrosecond);

void storyFilesFloor(benchmark::State &bm)
{
    const QStringList &files = storyFiles();
    for (auto _ : bm) {
        for (const QString &file : files)
            benchmark::DoNotOptimize(readDecodedFile(file));
    }
}
BENCHMARK(storyFilesFloor)->Name("floor/storyFiles")->Unit(benchmark::kMicrosecond);

} // namespace

} // namespace vorta::bench
