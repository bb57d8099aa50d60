// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/story_state.h"
#include "format/tree_paths.h"

#include <QString>
#include <QStringList>

#include <array>

namespace vorta {

// The most lines a saved story may hold: a story of 64 steps tells a few hundred, so this only
// bounds what a damaged or foreign file can make the program hold.
constexpr qint32 kMaxSavedLines = 100'000;

// A story in progress as it is kept between runs: what cannot be told again, and the catalogue
// it was told from. The view, the countdown and the settings are not part of it.
struct SavedStory
{
    QStringList genreNames; // the catalogue, genres 1 .. count in order
    QStringList genreDirs;
    QStringList lines; // lines 1 .. nextLine - 1
    qint32 nextLine = 1;
    qint32 stepNumber = 0;
    qint32 currentGenre = 1;
    std::array<qint32, kMaxGenres> genreUses{}; // genres 1 .. 10
    qint32 iqValue = 0;
    QStringList offeredGenres;
    bool finished = false;
};

// The captions of the choice labels on show, top to bottom.
QStringList offeredGenres(const StoryState &state);

// Throws SavedStoryUnreadable when a value lies where no story can bring it.
void checkSavedStory(const SavedStory &saved);

// A saved story fits when the catalogue has the same genres, names and folders, in the same order.
bool fitsCatalogue(const SavedStory &saved, const StoryState &state);

// Puts the saved story in place of a first start: its lines, step, genre, uses and IQ; the
// choices as a step leaves them, the countdown in full, the view at the end of the text, and a
// finished story with its button blinking. Throws SavedStoryUnreadable when the saved choices
// are not those that the story offers.
void resumeSavedStory(StoryState &state, const SavedStory &saved);

} // namespace vorta
