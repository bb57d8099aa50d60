// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/story_state.h"

#include "core/numbers.h"

namespace vorta {

const std::u16string &storyLine(const StoryState &state, std::int64_t entry)
{
    static const std::u16string absent;
    return entry > 0 && entry < state.nextLine && std::size_t(entry) < state.storyLines.size()
               ? state.storyLines[std::size_t(entry)]
               : absent;
}

std::u16string countdownCaption(std::int32_t milliseconds)
{
    return std::u16string(kCountdownPrefix) + numberText(floorDiv(milliseconds, kTickMs));
}

StoryState copyWithoutLines(StoryState &state)
{
    std::vector<std::u16string> lines = std::move(state.storyLines);
    state.storyLines.clear();
    try {
        StoryState copy = state;
        copy.storyLines.emplace_back();
        state.storyLines = std::move(lines);
        return copy;
    } catch (...) {
        state.storyLines = std::move(lines);
        throw;
    }
}

namespace {

// Everything of the state but its lines, and how many lines there were.
class Checkpoint
{
public:
    explicit Checkpoint(StoryState &state)
        : m_lineCount(state.storyLines.size()), m_saved(copyWithoutLines(state))
    {}

    void restore(StoryState &state)
    {
        std::vector<std::u16string> lines = std::move(state.storyLines);
        lines.resize(m_lineCount);
        state = std::move(m_saved);
        state.storyLines = std::move(lines);
    }

private:
    std::size_t m_lineCount;
    StoryState m_saved;
};

} // namespace

void runAtomically(StoryState &state, const std::function<void(StoryState &)> &event)
{
    Checkpoint checkpoint(state);
    try {
        event(state);
    } catch (...) {
        checkpoint.restore(state);
        throw;
    }
}

} // namespace vorta
