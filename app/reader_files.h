// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

namespace vorta::app {

// The reader's own files in a story's folder: the settings and the story in progress, with the
// stories set aside beside it. Plain files only; a link is not the reader's file.
QStringList readerFiles(const QString &folder);

// Puts the file `from` at `to` without reading it: as a second name of the same file, or, where
// the file system gives none, as a copy. Never through a link. A failure is a StoryError of kind
// FileNotWritten naming shownName, and leaves nothing at `to`.
void carryFile(const QString &from, const QString &to, const QString &shownName);

} // namespace vorta::app
