// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/finale.h"
#include "engine/story_state.h"
#include "format/data_tree.h"

#include <QList>
#include <QString>

#include <optional>

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
    qint32 step = 0;
    qint32 genre = 0;
    qint32 variant = 0; // 0 where no fragment was told: the finale
    qint32 variantCount = 0;
    std::optional<qint32> iqValue;
    std::optional<FinaleTold> finale;
    qint32 firstLine = 0;
    qint32 lineCount = 0;
};

// One move of the story: advances the step, applies the special steps, counts the genre's
// use, offers the other genres and tells the step's fragment (or, at 65, the finale).
// Works in place: callers that must survive a failure run it on a copy.
StepReport runStoryStep(StoryState &state, MoveKind kind, RandomSource &random,
                        const DataTree &tree);

// Writes iqValue over the first "IQ" marker and the character on each side of it. A line
// without the marker is left as it is; at either end only the characters there give way.
QString insertIqValue(const QString &line, qint32 iqValue);

} // namespace vorta
