// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "story_launch.h"

#include "format/tree_paths.h"

#include <QDir>
#include <QFileInfo>

namespace vorta::app {

StoryFile readVettedStoryFile(const QString &path, const QString &shownName)
{
    return readStoryFile(path, shownName);
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
    const QFileInfo genres(QDir(here).filePath(QFileInfo(kCatalogueFile).path()));
    if (genres.exists() || genres.isSymLink())
        return {here, {}, std::nullopt};
    return openStoryFile(shelf, installedStoryFile);
}

} // namespace vorta::app
