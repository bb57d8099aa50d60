#pragma once

#include "engine/story_state.h"

#include <QDir>
#include <QString>

namespace vorta {

class RandomSource;

enum class MoveKind
{
    Reader,
    Program
};

// One move of the story: advances the step, applies the special steps, counts the genre's
// use, offers the other genres and tells the step's fragment (or, at 65, the finale).
// Works in place: callers that must survive a failure run it on a copy.
void runStoryStep(StoryState &state, MoveKind kind, RandomSource &random, const QDir &dataDir);

// Writes iqValue over the first "IQ" marker and the character on each side of it. A line
// without the marker is left as it is; at either end only the characters there give way.
QString insertIqValue(const QString &line, qint32 iqValue);

} // namespace vorta
