// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program's start as the reader gets it, ending once the first window is painted. Built a
// second time to start as the menu entry does, through the story file on the reader's shelf.
#ifdef VORTA_BENCH_STORY_FILE
#include "app/story_launch.h"
#include "app/window_per_story.h"
#endif
#include "core/random_source.h"
#include "format/qt_text.h"
#include "start_probe.h"
#include "ui/controls.h"
#include "ui/main_window.h"
#include "ui/program_icon.h"

#include <QApplication>
#include <QDir>
#include <QScreen>

#include <chrono>
#include <cstdio>
#include <optional>
#include <utility>

namespace {

quint64 clockSeed()
{
    return quint64(std::chrono::system_clock::now().time_since_epoch().count());
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QuitOnFirstPaint quit;
    QApplication::setApplicationName(QStringLiteral("vorta"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setWindowIcon(vorta::ui::programIcon());

    vorta::SeededRandom random(clockSeed);
    QString folder = QDir::currentPath();
    std::optional<vorta::FolderLock> hold;
#ifdef VORTA_BENCH_STORY_FILE
    std::optional<vorta::app::WindowPerStory> windows;
    try {
        vorta::app::ShelvedStory story =
            vorta::app::storyToRead(vorta::app::StoryShelf(vorta::app::StoryShelf::defaultPath()),
                                    QStringLiteral(VORTA_BENCH_STORY_FILE), QString());
        folder = story.folder;
        hold = std::move(story.hold);
        // Every start asks whether a window already reads the story.
        windows.emplace(folder);
        if (windows->bringForwardOpenWindow())
            return 1;
    } catch (const vorta::StoryError &error) {
        std::fprintf(stderr, "%s\n", vorta::messageOf(error).toLocal8Bit().constData());
        return 1;
    }
#endif
    MainWindow form(random, QDir(folder));
    try {
        form.Form_Load(std::move(hold));
    } catch (const vorta::StoryError &error) {
        std::fprintf(stderr, "%s\n", vorta::messageOf(error).toLocal8Bit().constData());
        return 1;
    }
    form.adjustSize();
    vorta::ui::centreOnScreen(&form);
#ifdef VORTA_BENCH_STORY_FILE
    form.move(windows->cascaded(form.pos(), form.frameGeometry().size(),
                                form.screen()->availableGeometry()));
    windows->serve(&form);
#endif
    form.show();
    return execAndReportPeakMemory();
}
