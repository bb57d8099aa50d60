// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

namespace vorta {

struct StoryState;

// Appends one story line; the scroll range grows by one and the view follows the end of the
// text unless the reader has scrolled to or past it.
void appendStoryLine(StoryState &state, const QString &line);

// Copies entries topLine .. topLine + 14 into the 15 viewport rows (absent entries are empty).
void refreshViewport(StoryState &state);

// The scroll bar's change handler: the view follows the position.
void VScroll1_Change(StoryState &state);

// The scroll bar's properties as set from code. Like the control, a change of position (also
// one forced by a new range) raises VScroll1_Change at once, before the setter returns.
void setScrollMin(StoryState &state, qint32 min);
void setScrollMax(StoryState &state, qint32 max);
void setScrollValue(StoryState &state, qint32 value);

// The fresh story's range: minimum 1, then maximum 1.
void resetScrollRange(StoryState &state);

} // namespace vorta
