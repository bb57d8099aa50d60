// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QWidget;

namespace vorta::ui {

// Tells the window manager that a shown top-level window of fixed size offers neither resizing
// nor maximising. Qt says so through the size hints alone, while its X11 window hints always
// offer resizing; some window managers follow those. Does nothing on other platforms.
void offerNoResize(QWidget *window);

} // namespace vorta::ui
