// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

namespace vorta::ui {

// Makes the program's own controls answer assistive technologies with what they are: the story
// as a text, the choices and the about dialog's frame as buttons, the countdown as a status bar,
// the announcer as a notification, the settings' sliders with their units. Safe to call more
// than once.
void installAccessibility();

} // namespace vorta::ui
