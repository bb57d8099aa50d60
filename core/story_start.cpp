// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/story_start.h"

#include "core/data_files.h"
#include "core/genre_choice.h"
#include "core/random_source.h"
#include "core/story_buffer.h"
#include "core/story_state.h"

namespace vorta {

void firstStart(StoryState &state, RandomSource &random, const DataTree &tree)
{
    loadSettings(state, tree);
    state.countdownMs = state.autoPeriodMs;
    state.window.countdownText = countdownCaption(state.autoPeriodMs);
    loadCatalogue(state, tree);
    state.stepNumber = 0;
    state.topLine = 1;
    state.nextLine = 1;
    resetView(state);
    random.reseed();
    drawGenre(state, random);
    offeredGenresRefresh(state);
}

void newStory(StoryState &state, RandomSource &random, const DataTree &tree)
{
    // The new story is built beside the old one and takes its place only when it is complete.
    // It starts from an empty buffer, so no line of the old story is copied.
    StoryState next = copyWithoutLines(state);
    next.genreUses.fill(0);
    next.nextLine = 1;
    next.topLine = 1;
    loadSettings(next, tree);
    next.countdownMs = next.autoPeriodMs;
    next.stepNumber = 0;
    loadCatalogue(next, tree);
    random.reseed();
    if (drawPercentage(random.next()) < next.switchPercent)
        drawGenre(next, random);
    // A genre kept from a longer catalogue would tell the story from a directory that is no
    // longer listed while a listed genre is never offered: draw one instead.
    if (next.genreCount > 0 && (next.currentGenre < 1 || next.currentGenre > next.genreCount))
        drawGenre(next, random);
    offeredGenresRefresh(next);
    next.window.countdownShown = true;
    resetView(next);
    next.window.blinkLit = false;
    next.window.blinking = false;
    next.window.countdownRunning = true;
    state = std::move(next);
}

} // namespace vorta
