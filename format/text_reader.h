// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "format/story_error.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace vorta {

class DataTree;

// Sequential reading of one Windows-1251 text file, by delimited values and by whole lines.
// Every failure is a StoryError naming the file and the line where the read stood.
class TextReader
{
public:
    TextReader(QString text, QString fileName);

    // The whole file of the tree, decoded.
    static TextReader open(const DataTree &tree, const QString &relativePath);

    bool atEnd() const { return m_pos >= m_text.size(); }
    // Skips blank lines, then tells whether the file has ended.
    bool atEndAfterBlankLines();

    // One field: ends at a comma or at the line end (consumed with it); spaces before it are
    // skipped, nothing else: a field that starts at a line end is empty. A quoted value may
    // hold commas.
    QString readValue();
    // A delimited value that must be a whole number; blank lines, spaces and tabs before it are
    // skipped.
    qint32 readCount();
    // A genre index of a finale record: read like a count, but a value that is not a whole
    // number is none; a number beyond 32 bits is an overflow like any other.
    std::optional<qint32> readIndex();
    // A number of the settings file: like a value, but spaces end it too.
    qint32 readNumber();
    // Everything up to the line end, verbatim; the line end is consumed.
    QString readLine();
    // The same read, for a line that nobody keeps.
    void skipLine();

    // The line (from 1) where the next read starts.
    int line() const { return m_line; }
    // The line where the last value, count, index or number read began.
    int valueLine() const { return m_valueLine; }
    const QString &fileName() const { return m_fileName; }

    [[noreturn]] void fail(ErrorKind kind, int line, const QString &detail = {}) const;

private:
    int lastLine() const;
    void skipSpacesAndLineEnds();
    bool atLineEnd() const;
    void consumeLineEnd();
    QStringView readField(bool spaceEnds);
    qsizetype lineEnd() const;
    void skipToDelimiter(bool spaceEnds);
    qint32 parseNumber(QStringView text, int line) const;
    qint32 checkedNumber(qint64 value, QStringView text, int line) const;

    QString m_text;
    QString m_fileName;
    qsizetype m_pos = 0;
    int m_line = 1;
    int m_valueLine = 1;
};

// A whole decimal number with an optional sign and surrounding spaces, or nothing.
std::optional<qint64> parseInteger(QStringView text);

} // namespace vorta
