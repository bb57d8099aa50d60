// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/message_text.h"

#include <QStringList>

namespace vorta {

QString briefMessage(const QString &message)
{
    constexpr qsizetype kLongestLine = 80;
    constexpr qsizetype kMostLines = 12;
    QStringList lines = message.split(QLatin1Char('\n'));
    if (lines.size() > kMostLines) {
        lines.resize(kMostLines);
        lines.last() = QString(QChar(0x2026));
    }
    for (QString &line : lines) {
        if (line.size() > kLongestLine) {
            // The end of a line is often the telling part of it, a path's file name above all.
            const qsizetype head = (kLongestLine - 1) / 2;
            const qsizetype tail = kLongestLine - 1 - head;
            line = line.left(head) + QChar(0x2026) + line.right(tail);
        }
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace vorta
