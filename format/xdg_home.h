// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace vorta {

// One of the reader's base folders as the XDG rules have them: the variable's value when it is an
// absolute path, else the default below the home folder. A relative value is ignored, so that
// nothing is kept under whatever folder the program happens to start in.
QString xdgHome(const char *variable, const QString &belowHome);

} // namespace vorta
