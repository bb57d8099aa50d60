// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/story_state.h"

#include <array>
#include <string>
#include <vector>

namespace vorta {

// The most lines a saved story may hold: a story of 64 steps tells a few hundred, so this only
// bounds what a damaged or foreign record can make the program hold.
constexpr std::int32_t kMaxSavedLines = 100'000;

// A story in progress as it is kept between runs: what cannot be told again, and the catalogue
// it was told from. The view, the countdown and the settings are not part of it.
struct SavedStory
{
    std::vector<std::u16string> genreNames; // the catalogue, genres 1 .. count in order
    std::vector<std::u16string> genreDirs;
    std::vector<std::u16string> lines; // lines 1 .. nextLine - 1
    std::int32_t nextLine = 1;
    std::int32_t stepNumber = 0;
    std::int32_t currentGenre = 1;
    std::array<std::int32_t, kMaxGenres> genreUses{}; // genres 1 .. 10
    std::int32_t iqValue = 0;
    std::vector<std::u16string> offeredGenres;
    bool finished = false;

    bool operator==(const SavedStory &) const = default;
};

// The story as it is to be kept, from its state.
SavedStory savedStoryOf(const StoryState &state);

// The captions of the offered genres on show, top to bottom.
std::vector<std::u16string> offeredGenres(const StoryState &state);

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
