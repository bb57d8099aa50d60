// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/xdg_home.h"

#include <QDir>

namespace vorta {

QString xdgHome(const char *variable, const QString &belowHome)
{
    const QString set = qEnvironmentVariable(variable);
    if (QDir::isAbsolutePath(set))
        return QDir::cleanPath(set);
    return QDir::homePath() + QLatin1Char('/') + belowHome;
}

} // namespace vorta
