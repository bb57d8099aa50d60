// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "genre_choice.h"

#include "engine/random_source.h"
#include "engine/story_state.h"
#include "format/numbers.h"

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
    qint32 k = 0;
    for (qint32 i = 1; i <= state.genreCount; ++i) {
        if (i == state.currentGenre)
            continue;
        ++k;
        if (k >= 1 && k <= kChoiceLabels) {
            QString &caption = state.window.choiceLabels[std::size_t(k - 1)].caption;
            const QString &name = element(state.genreNames, i);
            // Mostly the caption it has already; copying it again costs every step.
            if (!caption.isSharedWith(name))
                caption = name;
        }
    }
}

void offeredGenresVisibilityPass(StoryState &state)
{
    for (int k = 1; k <= kChoiceLabels; ++k) {
        if (state.genreCount - 1 > k - 1)
            state.window.choiceLabels[std::size_t(k - 1)].visible = true;
    }
}

void offeredGenresRefresh(StoryState &state)
{
    offeredGenresNameFill(state);
    offeredGenresVisibilityPass(state);
}

} // namespace vorta
