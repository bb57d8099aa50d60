// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "story_launch.h"

#include "core/story_check.h"
#include "core/tree_paths.h"
#include "format/qt_text.h"

#include <QDir>
#include <QFileInfo>

namespace vorta::app {

StoryFile readVettedStoryFile(const QString &path, const QString &shownName)
{
    StoryFile story = readStoryFile(path, shownName);
    // The first few errors say enough; the author's check says them all.
    constexpr int kErrorsShown = 3;
    QStringList errors;
    int count = 0;
    for (const Diagnostic &finding : checkTree(story.tree()).diagnostics) {
        if (finding.severity != Severity::Error)
            continue;
        if (++count <= kErrorsShown)
            errors.append(toQString(finding.path) + QLatin1Char(':') +
                          QString::number(finding.line) + QStringLiteral(": ") +
                          toQString(finding.text));
    }
    if (count > 0)
        throw storyError(ErrorKind::BadStoryFile, shownName, 0,
                         QStringLiteral("в нём ошибок: %1; рассказ не открыть\n").arg(count) +
                             errors.join(QLatin1Char('\n')));
    return story;
}

ShelvedStory openStoryFile(const StoryShelf &shelf, const QString &path)
{
    const QString shownName = QDir::toNativeSeparators(path);
    return shelf.place(
        path, readStoryFileDirectory(path, shownName),
        [&] { return readVettedStoryFile(path, shownName); }, shownName);
}

ShelvedStory storyToRead(const StoryShelf &shelf, const QString &argument,
                         const QString &installedStoryFile)
{
    if (!argument.isEmpty())
        return openStoryFile(shelf, argument);
    // A folder with the tree's genres in it, whole or not, is a tree to read, and its faults are
    // told as such; a file manager's start in the home folder has none.
    const QString here = QDir::currentPath();
    const QFileInfo genres(QDir(here).filePath(toQString(kGenresFolder)));
    if (genres.exists() || genres.isSymLink())
        return {here, {}, std::nullopt};
    return openStoryFile(shelf, installedStoryFile);
}

} // namespace vorta::app
