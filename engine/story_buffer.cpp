#include "story_buffer.h"

#include "engine/story_state.h"
#include "format/numbers.h"

namespace vorta {

namespace {

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
    for (int r = 0; r < kViewportRows; ++r) {
        const qint64 entry = qint64(state.topLine) + r;
        state.window.rows[std::size_t(r)] =
            entry >= 0 && entry < state.storyLines.size() ? state.storyLines.at(entry) : QString();
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
