// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <string>

namespace vorta {

struct StoryState;

// Appends one story line; the scroll range (1 .. nextLine) grows by one and the view follows
// the end of the text unless the reader has scrolled to or past it.
void appendStoryLine(StoryState &state, const std::u16string &line);

// The scroll bar followed: the view's first line goes where the bar was put, within its range.
void followScrollBar(StoryState &state, std::int32_t position);

// The view of a fresh story: the range 1 .. 1, the first line at the top.
void resetView(StoryState &state);

} // namespace vorta
