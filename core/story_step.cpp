// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/story_step.h"

#include "core/finale.h"
#include "core/fragments.h"
#include "core/genre_choice.h"
#include "core/numbers.h"
#include "core/random_source.h"
#include "core/story_buffer.h"

namespace vorta {

std::u16string insertIqValue(const std::u16string &line, std::int32_t iqValue)
{
    const std::size_t marker = line.find(kIqMarker);
    if (marker == std::u16string::npos)
        return line;
    const std::size_t head = marker > 0 ? marker - 1 : 0;
    const std::size_t tail = marker + kIqMarker.size() + 1;
    return line.substr(0, head) + numberText(iqValue) +
           (tail < line.size() ? line.substr(tail) : std::u16string());
}

StepReport runStoryStep(StoryState &state, MoveKind kind, RandomSource &random,
                        const DataTree &tree)
{
    StepReport report;
    report.firstLine = state.nextLine;
    state.stepNumber = checkedAdd(state.stepNumber, 1);
    if (state.stepNumber == kIqStep) {
        state.iqValue = std::int32_t((kHighestIq - kLowestIq + 1) * random.next()) + kLowestIq;
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
        std::int32_t &uses = element(state.genreUses, state.currentGenre);
        uses = checkedAdd(uses, 1);
        offeredGenresNameFill(state);
        const bool iqStep = state.stepNumber == kIqStep;
        const FragmentTold told = readFragment(
            state, state.currentGenre, state.stepNumber, random, tree,
            [&state, iqStep](const std::u16string &line) {
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
