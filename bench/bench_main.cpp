// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Runs every benchmark and prints the table of costs against their floors.
#include "bench_support.h"
#include "pair_table.h"

#include <QApplication>

#include <benchmark/benchmark.h>

int main(int argc, char *argv[])
{
    // Windows are measured without a display, here and in the programs started from here.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    using vorta::bench::CostPair;
    vorta::bench::PairTableReporter reporter({
        {"program's move, headless", "programMove", "floor/fragmentFile", 2.0},
        {"countdown tick without a move", "countdownTick", "floor/settingsFile", 1.5},
        {"append a line, story of 1,000 vs 10 lines", "appendStoryLine/1000", "appendStoryLine/10",
         1.1},
        {"append a line, story of 100,000 vs 10", "appendStoryLine/100000", "appendStoryLine/10",
         1.1},
        // Ten lines do not fill the view yet: from a full view on, the cost must be flat.
        {"append a line, story of 1,000 vs 20 lines", "appendStoryLine/1000", "appendStoryLine/20",
         1.1},
        {"append a line, story of 100,000 vs 20", "appendStoryLine/100000", "appendStoryLine/20",
         1.1},
        // A failed move is undone without a copy of the story: the move must not grow with it.
        {"reader's move after 300 vs 10 lines", "readerMoveAfter/300", "readerMoveAfter/10", 1.1},
        {"reader's move after 9,999 vs 10 lines", "readerMoveAfter/9999", "readerMoveAfter/10",
         1.1},
        // Keeping the story in progress: what it adds to a move, and that it does not grow.
        {"reader's move saved vs not saved", "readerMoveSaved/saving:1/lines:10",
         "readerMoveSaved/saving:0/lines:10", 1.5},
        {"saved reader's move after 9,999 vs 10 lines", "readerMoveSaved/saving:1/lines:9999",
         "readerMoveSaved/saving:1/lines:10", 1.1},
        {"whole story (64 moves, finale), headless", "wholeStory", "floor/storyFiles"},
        {"start-up to the first window", "start/program", "start/bareQt", 1.3},
        {"start-up, processor time", "start/program", "start/bareQt", 0, "cpuMs", "ms"},
        {"start-up peak memory", "start/program", "start/bareQt", 1.3, "peakMiB", "MiB"},
        {"reader's move, window vs engine alone", "readerMove/window", "readerMove/headless"},
        // The simulation reads each file once, as the check does, and tells from memory.
        {"coverage --stories 10000 vs one check", "author/coverage", "author/check", 10.0},
    });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    vorta::bench::closeShownWindow();
    benchmark::Shutdown();
    return 0;
}
