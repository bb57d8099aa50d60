// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The top of the engine: with the moves, a window gets the start and the genre choice too.
#include "engine/genre_choice.h"
#include "engine/story_start.h"
#include "engine/story_step.h"
#include "format/data_tree.h"
#include "format/story_error.h"

#include <QString>

#include <optional>

namespace vorta {

struct StoryState;
class RandomSource;

// The reader's click on a choice label with this caption: the first genre of that name
// becomes current (none: the genre stays), then the step is told and the countdown restarts.
// A move that fails leaves the story as it was.
StepReport readerMove(StoryState &state, const QString &caption, RandomSource &random,
                      const DataTree &tree);

// The same click without the undo, for a simulation that a failure ends anyway.
StepReport readerStep(StoryState &state, const QString &caption, RandomSource &random,
                      const DataTree &tree);

// The program's move when the countdown has run out.
StepReport programMove(StoryState &state, RandomSource &random, const DataTree &tree);

// One tick of the countdown. Returns a settings-file failure to report (once, until the file
// reads again; the last good settings stay in force). Throws if the program's move fails: the
// countdown stays restarted and the move leaves no trace. A tick that moved says what it told
// in *told.
std::optional<StoryError> Timer1_Timer(StoryState &state, RandomSource &random,
                                       const DataTree &tree, StepReport *told = nullptr);

} // namespace vorta
