// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "format/qt_text.h"

#include <QList>
#include <QString>

#include <utility>

// What the shelf does to the folders of its copies: flushing them, swapping a new copy in, and
// clearing what killed starts left. Every failure is a StoryError naming the story file.
namespace vorta::app {

[[noreturn]] void failToWrite(const QString &shownName, const QString &why);

// Why nothing can be written in the folder, as the system says it: a small file is written
// there, flushed and removed.
QString whyNotWritable(const QString &folder);

// Flushes a folder's entries to the disk, so that what was renamed into it stays after a power
// cut. shownPath names the folder in a message.
void syncFolder(const QString &path, const QString &shownPath, const QString &shownName);

// Puts the new copy in the old one's place in one step: at no moment is there no copy, or half
// of one. The old copy ends where the new one was made. A message names the story's folder.
void swapIn(const QString &fresh, const QString &folder, const QString &shownName);

// What starts that were killed left of one story in the stories folder: names of copies half
// made (".<id>.new-…") and of copies set aside (".<id>.old-…", marked true).
QList<std::pair<QString, bool>> leftovers(const QString &storiesPath, const QString &id);

// A copy half unpacked goes; a copy set aside with none in its place comes back.
void removeLeftovers(const QString &storiesPath, const QString &id, const QString &folder);

// The message of a failure while unpacking: it says that a copy that was there stays as it was,
// and a failure to write names the story file, with the file being written when that was another.
StoryError unpackingFailed(const StoryError &error, const QString &shownName, bool hadCopy,
                           bool writing = true);

} // namespace vorta::app
