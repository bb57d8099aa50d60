// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/moves.h"
#include "core/random_source.h"
#include "core/story_state.h"

#include <QDir>
#include <QStringList>

// The story as the program's window holds it when the countdown has made every move: ticks from
// the first start until the finale stops them, with a generator seeded with seed.
inline QStringList storyByTicks(const QDir &dataDir, quint64 seed)
{
    vorta::SeededRandom random([seed] { return seed; });
    vorta::StoryState state;
    vorta::firstStart(state, random, dataDir);
    while (state.window.timer1Enabled)
        vorta::Timer1_Timer(state, random, dataDir);
    return state.storyLines.mid(1, state.nextLine - 1);
}
