// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/story_tree.h"

namespace vorta {

struct StoryState;
class RandomSource;

// Runs at the main window's load, before it is shown. Any error here is fatal to the start.
void firstStart(StoryState &state, RandomSource &random, const DataTree &tree);

// The new-story button. On failure the state is left exactly as it was and the error thrown.
void newStory(StoryState &state, RandomSource &random, const DataTree &tree);

} // namespace vorta
