// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What keeping the story in progress adds to a reader's move, and whether it grows with the
// story.
#include "bench_support.h"

#include "core/moves.h"
#include "core/story_buffer.h"
#include "format/qt_text.h"
#include "format/story_journal.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <optional>

#include <malloc.h>

namespace vorta::bench {

namespace {

// While it lives, memory freed stays with the allocator. A restart out of the timed region
// writes the whole story afresh, a megabyte at 9,999 lines; given back to the system, that
// memory would be taken again, page by page, inside the timed moves that follow.
class KeepFreedMemory
{
public:
    KeepFreedMemory()
    {
        mallopt(M_TRIM_THRESHOLD, kMost);
        mallopt(M_MMAP_THRESHOLD, kMost);
    }
    ~KeepFreedMemory()
    {
        mallopt(M_TRIM_THRESHOLD, kDefault);
        mallopt(M_MMAP_THRESHOLD, kDefault);
    }
    KeepFreedMemory(const KeepFreedMemory &) = delete;
    KeepFreedMemory &operator=(const KeepFreedMemory &) = delete;

private:
    static constexpr int kMost = 256 * 1024 * 1024;
    static constexpr int kDefault = 128 * 1024;
};

// Reader's moves in a story that held 10 or 9,999 lines before its first step, told to the
// finale and started again out of the timed region, with the journal saved after every move
// (first argument 1) or not (0). The first moves after a restart are told untimed too, so the
// restart's own writing and syncing of the whole journal does not fall on the moves measured.
// The journal lies in a folder of its own, so the other benchmarks' programs never resume it.
void readerMoveSavedCost(benchmark::State &bm)
{
    const bool saving = bm.range(0) != 0;
    const qint32 count = qint32(bm.range(1));
    const KeepFreedMemory keepFreedMemory;
    try {
        QTemporaryDir folder;
        StoryRun run;
        StoryState start = run.state();
        for (qint32 i = 1; i <= count; ++i)
            appendStoryLine(
                start, toU16(QStringLiteral("Строка %1 рассказа, длиной в обычную строку").arg(i)));
        StoryJournal journal{QDir(folder.path())};
        std::optional<StoryError> failure = journal.resume(start, QDateTime::currentDateTime());
        StoryState story;
        const auto restart = [&] {
            story = start;
            run.random().reseed();
            if (saving && !failure)
                failure = journal.save(story);
            for (int i = 0; i < 4; ++i) {
                readerMove(story, story.window.offered[0].caption, run.random(), dataTree());
                if (saving && !failure)
                    failure = journal.save(story);
            }
        };
        restart();
        for (auto _ : bm) {
            if (story.stepNumber >= kFinaleStep) {
                bm.PauseTiming();
                restart();
                bm.ResumeTiming();
            }
            readerMove(story, story.window.offered[0].caption, run.random(), dataTree());
            if (saving && !failure)
                failure = journal.save(story);
        }
        if (failure)
            bm.SkipWithError(failure->what());
    } catch (const StoryError &error) {
        bm.SkipWithError(error.what());
    }
}
BENCHMARK(readerMoveSavedCost)
    ->Name("readerMoveSaved")
    ->ArgNames({"saving", "lines"})
    ->Args({0, 10})
    ->Args({1, 10})
    ->Args({0, 9999})
    ->Args({1, 9999});

} // namespace

} // namespace vorta::bench
