// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/story_tree.h"

#include <cstdint>
#include <vector>

namespace vorta {

struct StoryState;

struct UseExtremes
{
    std::int32_t leastUsedGenre = 1;
    std::int32_t mostUsedGenre = 1;

    bool operator==(const UseExtremes &) const = default;
};

// The least and the most used genre over 1..genreCount, the lowest index winning ties.
UseExtremes useExtremes(const StoryState &state);

// The window of a story that has ended: the countdown stops and disappears with the offered
// genres, and the new-story button starts to blink.
void endStoryWindow(StoryState &state);

// What a finale told: the pair of the story, and the records of the file that matched it, by
// their place in the file (from 1), in file order.
struct FinaleTold
{
    UseExtremes pair;
    std::vector<std::int32_t> records;
};

// The move that reaches step 65: the window of an ended story, and every record of the current
// genre's finale file that matches the pair told.
FinaleTold tellFinale(StoryState &state, const DataTree &tree);

// The blink's tick: the new-story button turns to its other colour.
void blinkTick(StoryState &state);

} // namespace vorta
