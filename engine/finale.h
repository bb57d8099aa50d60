// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "format/data_tree.h"

#include <QList>

namespace vorta {

struct StoryState;

struct UseExtremes
{
    qint32 leastUsedGenre = 1;
    qint32 mostUsedGenre = 1;

    bool operator==(const UseExtremes &) const = default;
};

// The least and the most used genre over 1..genreCount, the lowest index winning ties.
UseExtremes useExtremes(const StoryState &state);

// The window of a story that has ended: the countdown stops, the blink starts, and the choices
// and the countdown disappear.
void endStoryWindow(StoryState &state);

// What a finale told: the pair of the story, and the records of the file that matched it, by
// their place in the file (from 1), in file order.
struct FinaleTold
{
    UseExtremes pair;
    QList<qint32> records;
};

// The move that reaches step 65: the timers swap, the choices and the countdown disappear,
// and every record of the current genre's finale file that matches the pair is told.
FinaleTold tellFinale(StoryState &state, const DataTree &tree);

// The blink of the new-story button between Label28's and Label29's colours.
void Timer2_Timer(StoryState &state);

} // namespace vorta
