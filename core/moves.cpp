// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/moves.h"

#include "core/data_files.h"
#include "core/numbers.h"
#include "core/random_source.h"
#include "core/story_state.h"
#include "core/story_step.h"

namespace vorta {

StepReport readerStep(StoryState &state, const std::u16string &caption, RandomSource &random,
                      const DataTree &tree)
{
    for (std::int32_t i = 1; i <= state.genreCount; ++i) {
        if (element(state.genreNames, i) == caption) {
            state.currentGenre = i;
            break;
        }
    }
    return runStoryStep(state, MoveKind::Reader, random, tree);
}

StepReport readerMove(StoryState &state, const std::u16string &caption, RandomSource &random,
                      const DataTree &tree)
{
    StepReport report;
    runAtomically(state,
                  [&](StoryState &next) { report = readerStep(next, caption, random, tree); });
    return report;
}

StepReport programMove(StoryState &state, RandomSource &random, const DataTree &tree)
{
    return runStoryStep(state, MoveKind::Program, random, tree);
}

std::optional<StoryError> countdownTick(StoryState &state, RandomSource &random,
                                        const DataTree &tree, StepReport *told)
{
    const bool reportedBefore = state.settingsFailureReported;
    std::optional<StoryError> settingsFailure;
    runAtomically(state, [&](StoryState &next) {
        try {
            loadSettings(next, tree);
            next.settingsFailureReported = false;
        } catch (const StoryError &error) {
            if (!next.settingsFailureReported)
                settingsFailure = error;
            next.settingsFailureReported = true;
        }
        next.countdownMs = checkedSub(next.countdownMs, kTickMs);
        next.window.countdownText = countdownCaption(next.countdownMs);
    });
    if (state.countdownMs < 1) {
        state.countdownMs = state.autoPeriodMs;
        // If the move fails, the restarted countdown stays and a settings failure that this
        // tick could not report yet is reported by the next one.
        const bool reportedAfterTheMove = state.settingsFailureReported;
        state.settingsFailureReported = reportedBefore && !settingsFailure;
        runAtomically(state, [&](StoryState &next) {
            next.settingsFailureReported = reportedAfterTheMove;
            const StepReport report = programMove(next, random, tree);
            if (told)
                *told = report;
        });
    }
    return settingsFailure;
}

} // namespace vorta
