// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/moves.h"
#include "core/random_source.h"
#include "core/story_state.h"
#include "tests/support/core_text.h"

#include <QStringList>

// The story as the program's window holds it when the countdown has made every move: ticks from
// the first start until the finale stops them, with a generator seeded with seed.
inline QStringList storyByTicks(const vorta::DataTree &tree, quint64 seed)
{
    vorta::SeededRandom random([seed] { return seed; });
    vorta::StoryState state;
    vorta::firstStart(state, random, tree);
    while (state.window.countdownRunning)
        vorta::countdownTick(state, random, tree);
    return toldLines(state);
}
