// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// Where lines end. Every place that parts a file into lines, counts them or names one goes
// through lineEndLength, so CR LF, a LF alone and a CR alone each end one line everywhere.
namespace vorta {

// The length of the line end at pos: 2 for CR LF, 1 for a LF or a lone CR, 0 for none (pos at
// or past the end included).
qsizetype lineEndLength(QStringView text, qsizetype pos);
qsizetype lineEndLength(QByteArrayView bytes, qsizetype pos);

// One line: where it starts, its length without its line end, and the length of that line end
// (0 for a last line that has none).
struct LineSpan
{
    qsizetype start = 0;
    qsizetype length = 0;
    qsizetype endLength = 0;

    qsizetype next() const { return start + length + endLength; }
};

// The lines of a text or of a file's bytes; a final line end ends the last line and starts
// none, so an empty text has no line.
QList<LineSpan> lineSpans(QStringView text);
QList<LineSpan> lineSpans(QByteArrayView bytes);

QStringList splitLines(QStringView text);
QList<QByteArray> splitLines(QByteArrayView bytes);

// The first line end that the bytes use, so that lines added to a file match its own; LF for
// bytes without one.
QByteArray firstLineEnd(QByteArrayView bytes);

} // namespace vorta
