#include "moves.h"

#include "data_files.h"
#include "numbers.h"
#include "random_source.h"
#include "story_state.h"
#include "story_step.h"

namespace vorta {

void readerMove(StoryState &state, const QString &caption, RandomSource &random,
                const QDir &dataDir)
{
    runAtomically(state, [&](StoryState &next) {
        const qint32 count = next.genreCount;
        for (qint32 i = 1; i <= count; ++i) {
            if (element(next.genreNames, i) == caption) {
                next.currentGenre = i;
                break;
            }
        }
        runStoryStep(next, MoveKind::Reader, random, dataDir);
    });
}

void programGenreChoice(StoryState &state, RandomSource &random)
{
    if (drawPercentage(random.next()) < state.switchPercent)
        drawGenre(state, random);
}

void programMove(StoryState &state, RandomSource &random, const QDir &dataDir)
{
    runStoryStep(state, MoveKind::Program, random, dataDir);
}

std::optional<StoryError> Timer1_Timer(StoryState &state, RandomSource &random, const QDir &dataDir)
{
    StoryState next = state;
    std::optional<StoryError> settingsFailure;
    try {
        loadSettings(next, dataDir);
        next.settingsFailureReported = false;
    } catch (const StoryError &error) {
        if (!next.settingsFailureReported)
            settingsFailure = error;
        next.settingsFailureReported = true;
    }
    next.countdownMs = checkedSub(next.countdownMs, 1000);
    next.window.label11Caption = countdownCaption(next.countdownMs);
    if (next.countdownMs < 1) {
        next.countdownMs = next.autoPeriodMs;
        // If the move fails, the restarted countdown stays and a settings failure that this
        // tick could not report yet is reported by the next one.
        StoryState restarted = next;
        restarted.settingsFailureReported = state.settingsFailureReported && !settingsFailure;
        try {
            programMove(next, random, dataDir);
        } catch (const StoryError &) {
            state = std::move(restarted);
            throw;
        }
    }
    state = std::move(next);
    return settingsFailure;
}

} // namespace vorta
