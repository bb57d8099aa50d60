// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

namespace vorta {

// A message as a window shows it: every line cut in its middle to at most 80 characters (an
// ellipsis marks the cut) and at most 12 lines, so no message box can grow past the screen.
QString briefMessage(const QString &message);

} // namespace vorta
