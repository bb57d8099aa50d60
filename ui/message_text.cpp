// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/message_text.h"

#include <QStringList>

namespace vorta {

namespace {

// How the message names its file, on a line of its own.
const QString kFileLabel = QStringLiteral("Файл: ");

constexpr qsizetype kLongestLine = 80;

// Both ends of a text too long for `width` characters, the middle given for an ellipsis: the
// end of a path is often the telling part of it, its file name above all.
QString shortenedInTheMiddle(const QString &text, qsizetype width)
{
    if (text.size() <= width)
        return text;
    const qsizetype head = (width - 1) / 2;
    return text.left(head) + QChar(0x2026) + text.right(width - 1 - head);
}

// A line broken between words into lines of at most kLongestLine characters. A word that is a
// path is shortened to fit; any other word longer than a line is broken where the line ends.
QStringList wrapped(const QString &line)
{
    QStringList lines;
    QString current;
    for (QString word : line.split(QLatin1Char(' '))) {
        if (word.size() > kLongestLine && word.contains(QLatin1Char('/')))
            word = shortenedInTheMiddle(word, kLongestLine);
        if (!current.isEmpty() && current.size() + 1 + word.size() > kLongestLine) {
            lines.append(current);
            current.clear();
        }
        if (!current.isEmpty())
            current += QLatin1Char(' ');
        current += word;
        while (current.size() > kLongestLine) {
            lines.append(current.left(kLongestLine));
            current.remove(0, kLongestLine);
        }
    }
    lines.append(current);
    // Only a runaway value runs past a few lines; the lines after it still show.
    constexpr qsizetype kMostWrappedLines = 4;
    if (lines.size() > kMostWrappedLines) {
        lines.resize(kMostWrappedLines);
        lines.last() = lines.last().left(kLongestLine - 1) + QChar(0x2026);
    }
    return lines;
}

} // namespace

QString briefMessage(const QString &message)
{
    constexpr qsizetype kMostLines = 12;
    QStringList lines = message.split(QLatin1Char('\n'));
    if (lines.size() > kMostLines) {
        lines.resize(kMostLines);
        lines.last() = QString(QChar(0x2026));
    }
    QStringList shown;
    for (const QString &line : std::as_const(lines)) {
        // The file's name is one path, blanks and all.
        if (line.startsWith(kFileLabel))
            shown.append(shortenedInTheMiddle(line, kLongestLine));
        else
            shown += wrapped(line);
    }
    return shown.join(QLatin1Char('\n'));
}

} // namespace vorta
