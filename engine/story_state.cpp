#include "story_state.h"

#include "data_files.h"
#include "numbers.h"
#include "random_source.h"
#include "story_buffer.h"

namespace vorta {

QString countdownCaption(qint32 milliseconds)
{
    return kCountdownPrefix + numberText(floorDiv(milliseconds, 1000));
}

void drawGenre(StoryState &state, RandomSource &random)
{
    state.currentGenre = drawIndex(random.next(), state.genreCount);
}

void firstStart(StoryState &state, RandomSource &random, const QDir &dataDir)
{
    loadSettings(state, dataDir);
    state.countdownMs = state.autoPeriodMs;
    state.window.label11Caption = countdownCaption(state.autoPeriodMs);
    loadCatalogue(state, dataDir);
    state.stepNumber = 0;
    state.topLine = 1;
    state.nextLine = 1;
    resetScrollRange(state);
    random.reseed();
    drawGenre(state, random);
    offeredGenresRefresh(state);
}

void runAtomically(StoryState &state, const std::function<void(StoryState &)> &event)
{
    StoryState next = state;
    event(next);
    state = std::move(next);
}

namespace {

void startNewStory(StoryState &next, RandomSource &random, const QDir &dataDir)
{
    next.genreUses.fill(0);
    next.storyLines = QStringList{QString()};
    next.nextLine = 1;
    next.topLine = 1;
    loadSettings(next, dataDir);
    next.countdownMs = next.autoPeriodMs;
    next.stepNumber = 0;
    loadCatalogue(next, dataDir);
    random.reseed();
    if (drawPercentage(random.next()) < next.switchPercent)
        drawGenre(next, random);
    // A genre kept from a longer catalogue would tell the story from a directory that is no
    // longer listed while a listed genre is never offered: draw one instead.
    if (next.genreCount > 0 && (next.currentGenre < 1 || next.currentGenre > next.genreCount))
        drawGenre(next, random);
    offeredGenresRefresh(next);
    next.window.label11Visible = true;
    refreshViewport(next);
    resetScrollRange(next);
    next.window.command1BackColour = next.window.label28BackColour;
    next.window.timer2Enabled = false;
    next.window.timer1Enabled = true;
}

} // namespace

void newStory(StoryState &state, RandomSource &random, const QDir &dataDir)
{
    runAtomically(state, [&](StoryState &next) { startNewStory(next, random, dataDir); });
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
