// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "program_icon.h"

namespace vorta::ui {

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addFile(QStringLiteral(":/vorta/icons/%1x%1/io.github.vorta.Vorta.png").arg(size),
                     QSize(size, size));
    return icon;
}

} // namespace vorta::ui
