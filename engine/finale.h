#pragma once

#include <QDir>

namespace vorta {

struct StoryState;

struct UseExtremes
{
    qint32 leastUsedGenre = 1;
    qint32 mostUsedGenre = 1;
};

// The least and the most used genre over 1..genreCount, the lowest index winning ties.
UseExtremes useExtremes(const StoryState &state);

// The window of a story that has ended: the countdown stops, the blink starts, and the choices
// and the countdown disappear.
void endStoryWindow(StoryState &state);

// The move that reaches step 65: the timers swap, the choices and the countdown disappear,
// and every record of the current genre's finale file that matches the pair is told.
void tellFinale(StoryState &state, const QDir &dataDir);

// The blink of the new-story button between Label28's and Label29's colours.
void Timer2_Timer(StoryState &state);

} // namespace vorta
