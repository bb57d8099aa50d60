// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QIcon>

namespace vorta::ui {

// The program's icon, the same drawing the desktop shows in its menu, at every size it ships in.
QIcon programIcon();

} // namespace vorta::ui
