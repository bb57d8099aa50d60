// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/plural.h"
#include "format/qt_text.h"

#include <QString>

// The core's plural forms in Qt's text, for the reports the authors' tool writes with Qt.
namespace vorta::author {

using vorta::countText;

// The count and its noun in the form that count takes: «61 знак», «2 знака», «5 знаков».
inline QString countText(qint64 n, const QString &one, const QString &few, const QString &many)
{
    return toQString(vorta::countText(n, toU16(one), toU16(few), toU16(many)));
}

} // namespace vorta::author
