// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/story_buffer.h"

#include "core/numbers.h"
#include "core/story_state.h"

#include <algorithm>

namespace vorta {

void appendStoryLine(StoryState &state, const std::u16string &line)
{
    if (state.nextLine < 1)
        throw StoryError(ErrorKind::SubscriptOutOfRange);
    const std::int32_t nextLine = checkedAdd(state.nextLine, 1);
    // The buffer grows as lines are told: it holds entries 0 .. nextLine - 1.
    state.storyLines.resize(std::size_t(state.nextLine));
    state.storyLines.push_back(line);
    state.nextLine = nextLine;
    // While the view follows the end, the newest line stands in the last row but one.
    if (checkedAdd(state.topLine, kViewportRows - 1) < state.nextLine)
        followScrollBar(state, checkedSub(state.nextLine, kViewportRows - 1));
}

void followScrollBar(StoryState &state, std::int32_t position)
{
    state.topLine = std::clamp(position, 1, std::max(1, state.nextLine));
}

void resetView(StoryState &state)
{
    state.topLine = 1;
}

} // namespace vorta
