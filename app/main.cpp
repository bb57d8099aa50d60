// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/command_line.h"
#include "app/story_launch.h"
#include "app/window_per_story.h"
#include "core/random_source.h"
#include "format/qt_text.h"
#include "ui/controls.h"
#include "ui/main_window.h"
#include "ui/message_text.h"
#include "ui/program_icon.h"
#include "ui/reader_settings.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTranslator>

#include <chrono>
#include <cstdio>
#include <memory>
#include <utility>

namespace {

quint64 clockSeed()
{
    return quint64(std::chrono::system_clock::now().time_since_epoch().count());
}

// Platforms that draw nothing anyone can see: a message there could never be answered.
bool nothingIsShown()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

// Written whole, as bytes: a NUL or any other character of the message cannot cut it.
void printLine(const QString &text)
{
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

// The story's folder: the sample story was kept here before stories had a shelf.
QString folderBeforeTheShelf()
{
    return vorta::app::StoryShelf::dataHome() + QStringLiteral("/vorta");
}

// The reader's answer when a new version would not continue the story in progress: the safe
// one, keeping the old copy, unless the reader chooses the new version.
bool replaceWhenAsked(const QString &question)
{
    QMessageBox box(QMessageBox::Question, kMainWindowTitle, vorta::briefMessage(question));
    box.setTextFormat(Qt::PlainText);
    QPushButton *replace =
        box.addButton(QStringLiteral("Открыть новую версию"), QMessageBox::AcceptRole);
    QPushButton *keep =
        box.addButton(QStringLiteral("Дочитать прежнюю версию"), QMessageBox::RejectRole);
    box.setDefaultButton(keep);
    box.setEscapeButton(keep);
    box.exec();
    return box.clickedButton() == replace;
}

// The reader's zoom, kept from one start to the next. A file that cannot be written is said once,
// and again only after a write has gone through; the window goes on at its zoom.
void keepReaderZoom(MainWindow &window, vorta::ui::ReaderSettings &settings)
{
    window.setZoom(settings.zoom());
    QObject::connect(&window, &MainWindow::zoomChanged, &window,
                     [&window, &settings, told = false](int zoom) mutable {
                         try {
                             settings.setZoom(zoom);
                             told = false;
                         } catch (...) {
                             if (!std::exchange(told, true))
                                 window.showProgramError(vorta::currentError());
                         }
                     });
}

// The window in the middle of its screen, or offset from the program's other windows that stand
// there; from now on a start for its story brings it forward.
void showStoryWindow(MainWindow &window, vorta::app::WindowPerStory &windows)
{
    window.adjustSize();
    vorta::ui::centreOnScreen(&window);
    if (const QScreen *screen = window.screen())
        window.move(windows.cascaded(window.pos(), window.frameGeometry().size(),
                                     screen->availableGeometry()));
    windows.serve(&window);
    window.show();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("vorta"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.00"));
    vorta::app::CommandLine commandLine;
    if (const auto status = commandLine.answerWithoutDisplay(argc, argv))
        return *status;

    QApplication app(argc, argv);
    // One look on every desktop: the windows are laid out in fixed pixels.
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setWindowIcon(vorta::ui::programIcon());
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.vorta.Vorta"));
    // The program speaks Russian, so Qt's own buttons and the file dialog do too, whatever the
    // desktop's language; without the translations installed they stay in English.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslator);
    if (const auto status = commandLine.check(QCoreApplication::arguments()))
        return *status;

    vorta::SeededRandom random(clockSeed);
    std::unique_ptr<MainWindow> form;
    std::unique_ptr<vorta::app::WindowPerStory> windows;
    try {
        vorta::app::StoryShelf shelf(vorta::app::StoryShelf::defaultPath());
        const QString installed = QStringLiteral(VORTA_INSTALLED_STORY_FILE);
        shelf.setEarlierFolder(kSampleStoryIdentifier, folderBeforeTheShelf());
        shelf.setInstalledStory(kSampleStoryIdentifier, installed);
        // With nothing shown, the old copy is kept and the notice says so on stderr.
        if (!nothingIsShown())
            shelf.setQuestion(replaceWhenAsked);
        vorta::app::ShelvedStory story =
            vorta::app::storyToRead(shelf, commandLine.storyFile(), installed);
        if (!story.notice.isEmpty()) {
            printLine(story.notice);
            if (!nothingIsShown())
                QMessageBox::information(nullptr, kProgramName, vorta::briefMessage(story.notice));
        }
        windows = std::make_unique<vorta::app::WindowPerStory>(story.folder);
        if (windows->bringForwardOpenWindow())
            return 0;
        form = std::make_unique<MainWindow>(random, QDir(story.folder));
        form->Form_Load(std::move(story.hold));
    } catch (...) {
        const vorta::StoryError error = vorta::currentError();
        // The window goes first: its countdown must not tick behind the message.
        form.reset();
        printLine(vorta::messageOf(error));
        if (!nothingIsShown())
            QMessageBox::critical(nullptr, kProgramName,
                                  vorta::briefMessage(vorta::messageOf(error)));
        return 1;
    }
    vorta::ui::ReaderSettings readerSettings(vorta::ui::ReaderSettings::defaultPath());
    keepReaderZoom(*form, readerSettings);
    showStoryWindow(*form, *windows);
    return QApplication::exec();
}
