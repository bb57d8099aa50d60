// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

namespace vorta::author {

// Which of the three Russian forms a count takes: 1, 21, 101 take the first («знак»), 2-4, 22-24
// the second («знака»), everything else, 11-14 included, the third («знаков»).
inline const QString &pluralForm(qint64 n, const QString &one, const QString &few,
                                 const QString &many)
{
    const qint64 absolute = n < 0 ? -(n % 100) : n % 100;
    const qint64 lastDigit = absolute % 10;
    if (absolute >= 11 && absolute <= 14)
        return many;
    if (lastDigit == 1)
        return one;
    if (lastDigit >= 2 && lastDigit <= 4)
        return few;
    return many;
}

// The count and its noun in the form that count takes: «61 знак», «2 знака», «5 знаков».
inline QString countText(qint64 n, const QString &one, const QString &few, const QString &many)
{
    return QString::number(n) + QLatin1Char(' ') + pluralForm(n, one, few, many);
}

} // namespace vorta::author
