// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/finale.h"
#include "core/story_state.h"
#include "core/story_tree.h"

#include <optional>
#include <string>

namespace vorta {

class RandomSource;

enum class MoveKind
{
    Reader,
    Program
};

// What one move told, for whoever shows or counts it: the step and the genre it was told in,
// the variant drawn of how many, the IQ value drawn at step 37, the pair and the records of a
// finale, and the story lines appended (entries firstLine .. firstLine + lineCount - 1 of
// storyLines).
struct StepReport
{
    std::int32_t step = 0;
    std::int32_t genre = 0;
    std::int32_t variant = 0; // 0 where no fragment was told: the finale
    std::int32_t variantCount = 0;
    std::optional<std::int32_t> iqValue;
    std::optional<FinaleTold> finale;
    std::int32_t firstLine = 0;
    std::int32_t lineCount = 0;
};

// One move of the story: advances the step, applies the special steps, counts the genre's
// use, offers the other genres and tells the step's fragment (or, at 65, the finale).
// Works in place: callers that must survive a failure run it on a copy.
StepReport runStoryStep(StoryState &state, MoveKind kind, RandomSource &random,
                        const DataTree &tree);

// Writes iqValue over the first "IQ" marker and the character on each side of it. A line
// without the marker is left as it is; at either end only the characters there give way.
std::u16string insertIqValue(const std::u16string &line, std::int32_t iqValue);

} // namespace vorta
