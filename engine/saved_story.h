// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/story_state.h"
#include "format/journal_records.h"
#include "format/tree_paths.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vorta {

// The captions of the choice labels on show, top to bottom.
QStringList offeredGenres(const StoryState &state);

// Throws SavedStoryUnreadable when a value lies where no story can bring it.
void checkSavedStory(const SavedStory &saved);

// A saved story fits when the catalogue has the same genres, names and folders, in the same order.
bool fitsCatalogue(const SavedStory &saved, const StoryState &state);

// The journal's records of a story: a fresh journal, its head and one event holding every line;
// and the event record of the lines from `firstLine` on with the state after them.
QByteArray freshJournal(const StoryState &state);
QByteArray eventRecord(const StoryState &state, qint32 firstLine);

// Puts the saved story in place of a first start: its lines, step, genre, uses and IQ; the
// choices as a step leaves them, the countdown in full, the view at the end of the text, and a
// finished story with its button blinking. Throws SavedStoryUnreadable when the saved choices
// are not those that the story offers.
void resumeSavedStory(StoryState &state, const SavedStory &saved);

} // namespace vorta
