// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "app/story_shelf.h"

#include <QString>

namespace vorta::app {

// Reads the story file's metadata and puts the story on the shelf; the whole file is read only
// when the shelf's copy did not come from it.
ShelvedStory openStoryFile(const StoryShelf &shelf, const QString &path);

// The folder a start reads. A story file named on the command line goes on the shelf; without
// one, a story tree in the working folder (one with a Genres folder) is read where it is, and
// else the installed story.
ShelvedStory storyToRead(const StoryShelf &shelf, const QString &argument,
                         const QString &installedStoryFile);

} // namespace vorta::app
