// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "story_buffer.h"

#include "engine/story_state.h"
#include "format/numbers.h"

#include <algorithm>

namespace vorta {

namespace {

// The same text by the same storage: what a row already holds need not be copied again.
bool holdsTheSame(const QString &row, const QString &line)
{
    return row.size() == line.size() && row.constData() == line.constData();
}

// Keeps the position inside the range, raising the change notification if it moved.
void clampScrollValue(StoryState &state)
{
    const MainWindowModel &w = state.window;
    setScrollValue(state, qBound(w.scrollMin, w.scrollValue, qMax(w.scrollMin, w.scrollMax)));
}

} // namespace

void appendStoryLine(StoryState &state, const QString &line)
{
    if (state.nextLine < 1)
        throw StoryError(ErrorKind::SubscriptOutOfRange);
    const qint32 nextLine = checkedAdd(state.nextLine, 1);
    // The buffer grows as lines are told: it holds entries 0 .. nextLine - 1.
    state.storyLines.resize(state.nextLine);
    state.storyLines.append(line);
    state.nextLine = nextLine;
    state.window.scrollMax = checkedAdd(state.window.scrollMax, 1);
    if (checkedAdd(state.topLine, 14) < state.nextLine) {
        state.topLine = checkedAdd(state.topLine, 1);
        const qint32 position = state.window.scrollValue;
        setScrollValue(state, checkedSub(state.window.scrollMax, 14));
        // A moved position has just refreshed the rows through VScroll1_Change; refreshing
        // them again would show the same lines at twice the cost of every appended line.
        if (state.window.scrollValue != position)
            return;
    }
    refreshViewport(state);
}

void refreshViewport(StoryState &state)
{
    static const QString absent;
    std::array<QString, kViewportRows> &rows = state.window.rows;
    auto lineAt = [&state](qint64 entry) -> const QString & {
        return entry >= 0 && entry < state.storyLines.size() ? state.storyLines.at(entry) : absent;
    };
    // While a story is told the view moves on one line at a time: the rows move up one rather
    // than each taking its line anew, and only those that still differ are copied.
    const QString &first = lineAt(state.topLine);
    if (holdsTheSame(rows[1], first) && !holdsTheSame(rows[0], first))
        std::rotate(rows.begin(), rows.begin() + 1, rows.end());
    for (int r = 0; r < kViewportRows; ++r) {
        const QString &line = lineAt(qint64(state.topLine) + r);
        if (!holdsTheSame(rows[std::size_t(r)], line))
            rows[std::size_t(r)] = line;
    }
}

void VScroll1_Change(StoryState &state)
{
    state.topLine = state.window.scrollValue;
    refreshViewport(state);
}

void setScrollValue(StoryState &state, qint32 value)
{
    const MainWindowModel &w = state.window;
    const qint32 clamped = qBound(w.scrollMin, value, qMax(w.scrollMin, w.scrollMax));
    if (clamped == w.scrollValue)
        return;
    state.window.scrollValue = clamped;
    VScroll1_Change(state);
}

void setScrollMin(StoryState &state, qint32 min)
{
    state.window.scrollMin = min;
    clampScrollValue(state);
}

void setScrollMax(StoryState &state, qint32 max)
{
    state.window.scrollMax = max;
    clampScrollValue(state);
}

void resetScrollRange(StoryState &state)
{
    setScrollMin(state, 1);
    setScrollMax(state, 1);
}

} // namespace vorta
