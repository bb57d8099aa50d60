#include "story_step.h"

#include "engine/finale.h"
#include "engine/fragments.h"
#include "engine/genre_choice.h"
#include "engine/numbers.h"
#include "engine/random_source.h"
#include "engine/story_buffer.h"

namespace vorta {

QString insertIqValue(const QString &line, qint32 iqValue)
{
    const qsizetype marker = line.indexOf(QLatin1String("IQ"));
    if (marker < 0)
        return line;
    return line.left(qMax<qsizetype>(0, marker - 1)) + numberText(iqValue) + line.mid(marker + 3);
}

void runStoryStep(StoryState &state, MoveKind kind, RandomSource &random, const QDir &dataDir)
{
    state.stepNumber = checkedAdd(state.stepNumber, 1);
    if (state.stepNumber == kIqStep)
        state.iqValue = qint32(40 * random.next()) + 80;
    if (state.iqValue <= 100) {
        if (state.stepNumber == kHighBranchStep)
            state.stepNumber = kHighBranchStep + 1;
    } else if (state.stepNumber == kLowBranchStep) {
        state.stepNumber = kHighBranchStep;
    }
    if (state.stepNumber < kFinaleStep) {
        offeredGenresVisibilityPass(state);
        if (kind == MoveKind::Program)
            programGenreChoice(state, random);
        qint32 &uses = element(state.genreUses, state.currentGenre);
        uses = checkedAdd(uses, 1);
        offeredGenresNameFill(state);
        const bool iqStep = state.stepNumber == kIqStep;
        readFragment(state, state.currentGenre, state.stepNumber, random, dataDir,
                     [&state, iqStep](const QString &line) {
                         appendStoryLine(state, iqStep ? insertIqValue(line, state.iqValue) : line);
                     });
        if (kind == MoveKind::Reader)
            state.countdownMs = state.autoPeriodMs;
    }
    if (state.stepNumber == kFinaleStep)
        tellFinale(state, dataDir);
}

} // namespace vorta
