// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "app/story_shelf.h"

#include <QString>

namespace vorta::app {

// The whole story file, read and vetted before it may take the place of a reader's copy: what the
// authors' check calls an error (a step that does not read, a genre without its folder) refuses
// it, so a broken newer version never replaces a working copy.
StoryFile readVettedStoryFile(const QString &path, const QString &shownName);

// Reads the story file's directory and puts the story on the shelf; the whole file is read only
// when the shelf's copy must be unpacked from it.
ShelvedStory openStoryFile(const StoryShelf &shelf, const QString &path);

// The folder a start reads. A story file named on the command line goes on the shelf; without
// one, a story tree in the working folder (one with a Genres folder) is read where it is, and
// else the installed story.
ShelvedStory storyToRead(const StoryShelf &shelf, const QString &argument,
                         const QString &installedStoryFile);

} // namespace vorta::app
