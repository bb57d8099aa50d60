// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDateTime>
#include <QString>

namespace vorta {
struct StoryState;
}

namespace vorta::ui {

// Every line told so far (not only those in view), each ended by a line feed.
QString storyText(const StoryState &state);

// The name a kept story is offered under: рассказ-YYYY-MM-DD-HHMM.txt.
QString storyFileName(const QDateTime &when);

// Writes the story told so far as UTF-8 text, atomically: a failed write leaves whatever stood
// there, and is thrown as a StoryError.
void writeStoryFile(const QString &path, const StoryState &state);

} // namespace vorta::ui
