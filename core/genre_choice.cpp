// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/genre_choice.h"

#include "core/numbers.h"
#include "core/random_source.h"
#include "core/story_state.h"

namespace vorta {

void drawGenre(StoryState &state, RandomSource &random)
{
    state.currentGenre = drawIndex(random.next(), state.genreCount);
}

void programGenreChoice(StoryState &state, RandomSource &random)
{
    if (drawPercentage(random.next()) < state.switchPercent)
        drawGenre(state, random);
}

void offeredGenresNameFill(StoryState &state)
{
    std::int32_t k = 0;
    for (std::int32_t i = 1; i <= state.genreCount; ++i) {
        if (i == state.currentGenre)
            continue;
        ++k;
        if (k >= 1 && k <= kOfferedSlots) {
            std::u16string &caption = state.window.offered[std::size_t(k - 1)].caption;
            const std::u16string &name = element(state.genreNames, i);
            // Mostly the caption it has already; copying it again costs every step.
            if (caption != name)
                caption = name;
        }
    }
}

void offeredGenresVisibilityPass(StoryState &state)
{
    for (int k = 1; k <= kOfferedSlots; ++k) {
        if (state.genreCount - 1 > k - 1)
            state.window.offered[std::size_t(k - 1)].visible = true;
    }
}

void offeredGenresRefresh(StoryState &state)
{
    offeredGenresNameFill(state);
    offeredGenresVisibilityPass(state);
}

} // namespace vorta
