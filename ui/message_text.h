// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

namespace vorta {

// A message as a window shows it, whole: each line wrapped between words to at most 80
// characters. Only a path too long for a line is shortened, in its middle (an ellipsis marks the
// cut), so that both ends of it show: the file's line, and any word naming a file or a folder.
// So that no message box grows past the screen, a runaway value is cut after four lines, and a
// message after 12 of its own lines.
QString briefMessage(const QString &message);

} // namespace vorta
