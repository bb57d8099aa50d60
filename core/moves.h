// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The top of the story's rules: with the moves, a window gets the start and the genre choice too.
#include "core/genre_choice.h"
#include "core/story_error.h"
#include "core/story_start.h"
#include "core/story_step.h"
#include "core/story_tree.h"

#include <optional>
#include <string>

namespace vorta {

struct StoryState;
class RandomSource;

// The reader's click on an offered genre with this caption: the first genre of that name
// becomes current (none: the genre stays), then the step is told and the countdown restarts.
// A move that fails leaves the story as it was.
StepReport readerMove(StoryState &state, const std::u16string &caption, RandomSource &random,
                      const DataTree &tree);

// The same click without the undo, for a simulation that a failure ends anyway.
StepReport readerStep(StoryState &state, const std::u16string &caption, RandomSource &random,
                      const DataTree &tree);

// The program's move when the countdown has run out.
StepReport programMove(StoryState &state, RandomSource &random, const DataTree &tree);

// The countdown's tick, once a second. Returns a settings-file failure to report (once, until
// the file reads again; the last good settings stay in force). Throws if the program's move
// fails: the countdown stays restarted and the move leaves no trace. A tick that moved says
// what it told in *told.
std::optional<StoryError> countdownTick(StoryState &state, RandomSource &random,
                                        const DataTree &tree, StepReport *told = nullptr);

} // namespace vorta
