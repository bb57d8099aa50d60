// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/finale.h"

#include "core/finale_file.h"
#include "core/fragments.h"
#include "core/numbers.h"
#include "core/story_buffer.h"
#include "core/story_state.h"

namespace vorta {

UseExtremes useExtremes(const StoryState &state)
{
    UseExtremes extremes;
    std::int32_t least = element(state.genreUses, 1);
    std::int32_t most = least;
    for (std::int32_t i = 2; i <= state.genreCount; ++i) {
        const std::int32_t uses = element(state.genreUses, i);
        if (most < uses) {
            most = uses;
            extremes.mostUsedGenre = i;
        }
        if (least > uses) {
            least = uses;
            extremes.leastUsedGenre = i;
        }
    }
    return extremes;
}

void endStoryWindow(StoryState &state)
{
    StoryWindow &w = state.window;
    w.countdownRunning = false;
    w.blinking = true;
    for (OfferedPlace &place : w.offered)
        place.visible = false;
    w.countdownShown = false;
}

FinaleTold tellFinale(StoryState &state, const DataTree &tree)
{
    endStoryWindow(state);
    FinaleTold told{useExtremes(state), {}};
    FinaleReader reader(
        TextReader::open(tree, fragmentPath(state, state.currentGenre, kFinaleStep)));
    while (!reader.atEnd()) {
        if (reader.readPair().matches(told.pair.leastUsedGenre, told.pair.mostUsedGenre)) {
            told.records.push_back(reader.record());
            reader.readLines(
                [&state](const std::u16string &line, int) { appendStoryLine(state, line); });
        } else {
            reader.readLines({});
        }
    }
    return told;
}

void blinkTick(StoryState &state)
{
    state.window.blinkLit = !state.window.blinkLit;
}

} // namespace vorta
