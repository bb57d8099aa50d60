// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "story_step.h"

#include "engine/finale.h"
#include "engine/fragments.h"
#include "engine/genre_choice.h"
#include "engine/random_source.h"
#include "engine/story_buffer.h"
#include "format/numbers.h"

namespace vorta {

QString insertIqValue(const QString &line, qint32 iqValue)
{
    const qsizetype marker = line.indexOf(kIqMarker);
    if (marker < 0)
        return line;
    return line.left(qMax<qsizetype>(0, marker - 1)) + numberText(iqValue) +
           line.mid(marker + kIqMarker.size() + 1);
}

StepReport runStoryStep(StoryState &state, MoveKind kind, RandomSource &random,
                        const DataTree &tree)
{
    StepReport report;
    report.firstLine = state.nextLine;
    state.stepNumber = checkedAdd(state.stepNumber, 1);
    if (state.stepNumber == kIqStep) {
        state.iqValue = qint32((kHighestIq - kLowestIq + 1) * random.next()) + kLowestIq;
        report.iqValue = state.iqValue;
    }
    // The branch not taken is passed over: a low value skips step 39, a high one step 38.
    if (state.stepNumber == kLowBranchStep || state.stepNumber == kHighBranchStep) {
        if (state.stepNumber != branchStep(state.iqValue))
            state.stepNumber = state.stepNumber + 1;
    }
    if (state.stepNumber < kFinaleStep) {
        offeredGenresVisibilityPass(state);
        if (kind == MoveKind::Program)
            programGenreChoice(state, random);
        qint32 &uses = element(state.genreUses, state.currentGenre);
        uses = checkedAdd(uses, 1);
        offeredGenresNameFill(state);
        const bool iqStep = state.stepNumber == kIqStep;
        const FragmentTold told = readFragment(
            state, state.currentGenre, state.stepNumber, random, tree,
            [&state, iqStep](const QString &line) {
                appendStoryLine(state, iqStep ? insertIqValue(line, state.iqValue) : line);
            });
        report.variant = told.variant;
        report.variantCount = told.variantCount;
        if (kind == MoveKind::Reader)
            state.countdownMs = state.autoPeriodMs;
    }
    if (state.stepNumber == kFinaleStep)
        report.finale = tellFinale(state, tree);
    report.step = state.stepNumber;
    report.genre = state.currentGenre;
    report.lineCount = state.nextLine - report.firstLine;
    return report;
}

} // namespace vorta
