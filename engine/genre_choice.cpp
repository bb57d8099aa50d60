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
        if (k >= 1 && k <= kChoiceLabels)
            state.window.choiceLabels[std::size_t(k - 1)].caption = element(state.genreNames, i);
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
