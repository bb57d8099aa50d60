// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/story_facts.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The plain types of the story, at the bottom of its rules: every other part reads and writes
// these, and this file calls none of them.
namespace vorta {

// One of the nine places where a genre is offered to the reader, top to bottom.
struct OfferedPlace
{
    std::u16string caption{kChoicePlaceholder};
    bool visible = false;

    bool operator==(const OfferedPlace &) const = default;
};

// What the window shows of the story, as meanings; the window decides how each one looks.
struct StoryWindow
{
    std::array<OfferedPlace, kOfferedSlots> offered;
    // The countdown's words and seconds, and whether they are shown.
    std::u16string countdownText;
    bool countdownShown = true;
    // The countdown ticks once a second while it runs; after the finale it stops, and the
    // new-story button blinks instead, lit with its blink colour every other half second.
    bool countdownRunning = true;
    bool blinking = false;
    bool blinkLit = false;

    bool operator==(const StoryWindow &) const = default;
};

// The whole story being told, with what its window shows.
struct StoryState
{
    // Entry 0 is never used; entries 1 .. nextLine - 1 hold the lines told so far. The list
    // grows as lines are told, so entries from nextLine up are simply absent (read as empty).
    std::vector<std::u16string> storyLines{std::u16string()};
    std::int32_t nextLine = 0;
    // The line in the first of the rows in view: the position of the scroll bar, whose range
    // runs from 1 to nextLine.
    std::int32_t topLine = 0;
    std::int32_t countdownMs = 0;
    std::int32_t autoPeriodMs = 0;
    std::int32_t switchPercent = 0;
    std::array<std::u16string, kMaxGenres + 1> genreNames;
    std::array<std::u16string, kMaxGenres + 1> genreDirs;
    std::int32_t genreCount = 0;
    std::int32_t currentGenre = 0;
    std::array<std::int32_t, kMaxGenres + 1> genreUses{};
    std::int32_t stepNumber = 0;
    std::int32_t iqValue = 0;

    StoryWindow window;

    // A tick that could not read the settings has said so; it is not said again until the
    // file reads again.
    bool settingsFailureReported = false;

    bool operator==(const StoryState &) const = default;
};

// The story line at an entry, empty for one not told (0 and from nextLine on).
const std::u16string &storyLine(const StoryState &state, std::int64_t entry);

// A copy of everything of the state but its lines, which stay where they are: copying them
// would cost the whole story. The copy has entry 0 only.
StoryState copyWithoutLines(StoryState &state);

// Runs one event in place and, if it fails, undoes it and lets the error go on, so a failing
// event leaves the story and the window exactly as they were. The event may only append story
// lines, as every event but a new story does: the lines are undone by cutting them back to their
// old number, so the undo costs the same at any length of the story.
void runAtomically(StoryState &state, const std::function<void(StoryState &)> &event);

// The countdown's text for a number of milliseconds: the floor of the seconds, signed form.
std::u16string countdownCaption(std::int32_t milliseconds);

} // namespace vorta
