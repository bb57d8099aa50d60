// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "story_state.h"

#include "format/numbers.h"

namespace vorta {

QString countdownCaption(qint32 milliseconds)
{
    return kCountdownPrefix + numberText(floorDiv(milliseconds, 1000));
}

namespace {

// Everything of the state but its lines, and how many lines there were. The lines are left out
// of the copy: a copy would share them, and the first line appended would then copy them all.
class Checkpoint
{
public:
    explicit Checkpoint(StoryState &state) : m_lineCount(state.storyLines.size())
    {
        QStringList lines = std::move(state.storyLines);
        m_saved = state;
        state.storyLines = std::move(lines);
    }

    void restore(StoryState &state)
    {
        QStringList lines = std::move(state.storyLines);
        lines.resize(m_lineCount);
        state = std::move(m_saved);
        state.storyLines = std::move(lines);
    }

private:
    qsizetype m_lineCount;
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
