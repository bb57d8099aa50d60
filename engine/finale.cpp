// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "finale.h"

#include "engine/fragments.h"
#include "engine/story_buffer.h"
#include "engine/story_state.h"
#include "format/finale_file.h"
#include "format/numbers.h"

namespace vorta {

UseExtremes useExtremes(const StoryState &state)
{
    UseExtremes extremes;
    qint32 least = element(state.genreUses, 1);
    qint32 most = least;
    for (qint32 i = 2; i <= state.genreCount; ++i) {
        const qint32 uses = element(state.genreUses, i);
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
    state.window.timer1Enabled = false;
    state.window.timer2Enabled = true;
    for (ChoiceLabel &label : state.window.choiceLabels)
        label.visible = false;
    state.window.label11Visible = false;
}

FinaleTold tellFinale(StoryState &state, const DataTree &tree)
{
    endStoryWindow(state);
    FinaleTold told{useExtremes(state), {}};
    FinaleReader reader(
        TextReader::open(tree, fragmentPath(state, state.currentGenre, kFinaleStep)));
    while (!reader.atEnd()) {
        if (reader.readPair().matches(told.pair.leastUsedGenre, told.pair.mostUsedGenre)) {
            told.records.append(reader.record());
            reader.readLines([&state](const QString &line, int) { appendStoryLine(state, line); });
        } else {
            reader.readLines({});
        }
    }
    return told;
}

void Timer2_Timer(StoryState &state)
{
    MainWindowModel &w = state.window;
    bool changed = false;
    if (w.command1BackColour == w.label28BackColour) {
        w.command1BackColour = w.label29BackColour;
        changed = true;
    }
    if (w.command1BackColour == w.label29BackColour && !changed)
        w.command1BackColour = w.label28BackColour;
}

} // namespace vorta
