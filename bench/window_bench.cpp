// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

// One reader's move in the real window, from the click to the repainted rows, beside the same
// move with the engine alone.
#include "bench_support.h"

#include "core/moves.h"
#include "format/qt_text.h"
#include "ui/main_window.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTest>

#include <benchmark/benchmark.h>

#include <memory>

namespace vorta::bench {

namespace {

struct ShownWindow
{
    SeededRandom random{fixedSeed};
    MainWindow form{random, windowDataDir()};

    ShownWindow()
    {
        form.Form_Load();
        form.adjustSize();
        form.show();
        (void)QTest::qWaitForWindowExposed(&form);
        // The countdown only ticks in an event loop, which the benchmark never runs after this.
    }
};

std::unique_ptr<ShownWindow> &shownWindowSlot()
{
    static std::unique_ptr<ShownWindow> window;
    return window;
}

MainWindow &shownWindow()
{
    std::unique_ptr<ShownWindow> &window = shownWindowSlot();
    if (!window)
        window = std::make_unique<ShownWindow>();
    return window->form;
}

// Counts the paint events of the viewport rows.
class RowPaints : public QObject
{
public:
    explicit RowPaints(MainWindow &form)
    {
        for (int n = 12; n <= 26; ++n) {
            if (auto *row = form.findChild<QLabel *>(QStringLiteral("Label%1").arg(n)))
                row->installEventFilter(this);
        }
    }

    int count = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return QObject::eventFilter(watched, event);
    }
};

// What the event loop does after a click: lays out and repaints what the click changed.
void repaintAsTheLoopWould()
{
    QCoreApplication::sendPostedEvents();
}

void startNewStoryInWindow(MainWindow &form)
{
    form.startNewStory();
    repaintAsTheLoopWould();
}

void readerMoveInWindowCost(benchmark::State &bm)
{
    try {
        MainWindow &form = shownWindow();
        startNewStoryInWindow(form);
        {
            // The move is only measured if it reaches the screen.
            RowPaints paints(form);
            form.Label2_Click();
            repaintAsTheLoopWould();
            if (paints.count == 0) {
                bm.SkipWithError("the viewport rows were not repainted");
                return;
            }
        }
        startNewStoryInWindow(form);
        for (auto _ : bm) {
            if (form.state().stepNumber >= kFinaleStep) {
                bm.PauseTiming();
                startNewStoryInWindow(form);
                bm.ResumeTiming();
            }
            form.Label2_Click();
            repaintAsTheLoopWould();
        }
        if (form.openMessage())
            bm.SkipWithError("the window reported an error");
    } catch (const StoryError &error) {
        bm.SkipWithError(error.what());
    }
}
BENCHMARK(readerMoveInWindowCost)->Name("readerMove/window");

// The same moves as the window makes them: the first offered genre, after the same start.
void readerMoveHeadlessCost(benchmark::State &bm)
{
    try {
        SeededRandom random(fixedSeed);
        StoryState story;
        firstStart(story, random, dataTree());
        newStory(story, random, dataTree());
        for (auto _ : bm) {
            if (story.stepNumber >= kFinaleStep) {
                bm.PauseTiming();
                newStory(story, random, dataTree());
                bm.ResumeTiming();
            }
            const std::u16string caption = story.window.offered[0].caption;
            readerMove(story, caption, random, dataTree());
        }
    } catch (const StoryError &error) {
        bm.SkipWithError(error.what());
    }
}
BENCHMARK(readerMoveHeadlessCost)->Name("readerMove/headless");

} // namespace

void closeShownWindow()
{
    shownWindowSlot().reset();
}

} // namespace vorta::bench
