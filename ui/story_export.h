// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

class QWidget;

namespace vorta {
struct StoryState;
}

namespace vorta::ui {

// Every line told so far (not only those in view), each ended by a line feed.
QString storyText(const StoryState &state);

// The name a kept story is offered under: рассказ-YYYY-MM-DD-HHMM.txt.
QString storyFileName(const QDateTime &when);

// Where a story kept now is offered: under its name in the reader's documents folder, or at
// home without one.
QString suggestedStoryPath(const QDateTime &when);

// Writes the story told so far as UTF-8 text, atomically: a failed write leaves whatever stood
// there, and is thrown as a StoryError.
void writeStoryFile(const QString &path, const StoryState &state);

// Asks the reader where to keep the story, in a file dialog of its own that does not hold up the
// story, offering `suggestedPath`; calls `chosen` with the path picked, if any.
void askForSavePath(QWidget *parent, const QString &suggestedPath,
                    const std::function<void(const QString &path)> &chosen);

} // namespace vorta::ui
