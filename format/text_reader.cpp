// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "text_reader.h"

#include "format/data_tree.h"
#include "format/line_ends.h"

#include <limits>

namespace vorta {

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool isLineEnd(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

} // namespace

TextReader::TextReader(QString text, QString fileName)
    : m_text(std::move(text)), m_fileName(std::move(fileName))
{}

TextReader TextReader::open(const DataTree &tree, const QString &relativePath)
{
    return TextReader(tree.readText(relativePath), relativePath);
}

int TextReader::lastLine() const
{
    const bool endsWithLineEnd = !m_text.isEmpty() && isLineEnd(m_text.back());
    return qMax(1, endsWithLineEnd ? m_line - 1 : m_line);
}

void TextReader::fail(ErrorKind kind, int line, const QString &detail) const
{
    throw StoryError(kind, m_fileName, line, detail);
}

bool TextReader::atLineEnd() const
{
    return lineEndLength(m_text, m_pos) > 0;
}

void TextReader::consumeLineEnd()
{
    m_pos += lineEndLength(m_text, m_pos);
    ++m_line;
}

void TextReader::skipSpacesAndLineEnds()
{
    while (!atEnd()) {
        if (isBlank(m_text.at(m_pos)))
            ++m_pos;
        else if (atLineEnd())
            consumeLineEnd();
        else
            break;
    }
}

bool TextReader::atEndAfterBlankLines()
{
    skipSpacesAndLineEnds();
    return atEnd();
}

void TextReader::skipToDelimiter(bool spaceEnds)
{
    while (!atEnd() && isBlank(m_text.at(m_pos)))
        ++m_pos;
    if (atEnd())
        return;
    if (m_text.at(m_pos) == QLatin1Char(',')) {
        ++m_pos;
    } else if (atLineEnd()) {
        consumeLineEnd();
    } else if (!spaceEnds) {
        // Text after a closing quote: dropped up to the delimiter.
        while (!atEnd() && m_text.at(m_pos) != QLatin1Char(',') && !atLineEnd())
            ++m_pos;
        skipToDelimiter(spaceEnds);
    }
}

QStringView TextReader::readField(bool spaceEnds)
{
    m_valueLine = m_line;
    while (!atEnd() && m_text.at(m_pos) == QLatin1Char(' '))
        ++m_pos;
    if (atEnd())
        fail(ErrorKind::InputPastEndOfFile, lastLine());
    QStringView value;
    if (m_text.at(m_pos) == QLatin1Char('"')) {
        ++m_pos;
        const qsizetype close = m_text.indexOf(QLatin1Char('"'), m_pos);
        qsizetype end = m_pos;
        while (end < m_text.size() && end != close && !isLineEnd(m_text.at(end)))
            ++end;
        value = QStringView(m_text).sliced(m_pos, end - m_pos);
        m_pos = end == close ? end + 1 : end;
    } else {
        qsizetype end = m_pos;
        while (end < m_text.size()) {
            const QChar c = m_text.at(end);
            if (c == QLatin1Char(',') || isLineEnd(c) || (spaceEnds && isBlank(c)))
                break;
            ++end;
        }
        value = QStringView(m_text).sliced(m_pos, end - m_pos);
        while (!value.isEmpty() && isBlank(value.back()))
            value.chop(1);
        m_pos = end;
    }
    skipToDelimiter(spaceEnds);
    return value;
}

QString TextReader::readValue()
{
    return readField(false).toString();
}

std::optional<qint64> parseInteger(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    const qsizetype sign =
        trimmed.startsWith(QLatin1Char('-')) || trimmed.startsWith(QLatin1Char('+')) ? 1 : 0;
    if (trimmed.size() == sign)
        return std::nullopt;
    for (qsizetype i = sign; i < trimmed.size(); ++i) {
        const char16_t c = trimmed.at(i).unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    // Beyond 18 digits only the sign matters: the value is out of every range we use.
    if (trimmed.size() - sign > 18)
        return trimmed.startsWith(QLatin1Char('-')) ? std::numeric_limits<qint64>::min()
                                                    : std::numeric_limits<qint64>::max();
    return trimmed.toLongLong();
}

qint32 TextReader::checkedNumber(qint64 value, QStringView text, int line) const
{
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        fail(ErrorKind::Overflow, line, quoted(text.trimmed()));
    return qint32(value);
}

qint32 TextReader::parseNumber(QStringView text, int line) const
{
    const std::optional<qint64> value = parseInteger(text);
    if (!value)
        fail(ErrorKind::BadNumber, line, quoted(text));
    return checkedNumber(*value, text, line);
}

std::optional<qint32> TextReader::readIndex()
{
    skipSpacesAndLineEnds();
    const int line = m_line;
    const QStringView text = readField(false);
    const std::optional<qint64> value = parseInteger(text);
    if (!value)
        return std::nullopt;
    return checkedNumber(*value, text, line);
}

qint32 TextReader::readCount()
{
    skipSpacesAndLineEnds();
    const int line = m_line;
    return parseNumber(readField(false), line);
}

qint32 TextReader::readNumber()
{
    skipSpacesAndLineEnds();
    const int line = m_line;
    return parseNumber(readField(true), line);
}

qsizetype TextReader::lineEnd() const
{
    if (atEnd())
        fail(ErrorKind::InputPastEndOfFile, lastLine());
    // The loop that every line read runs, over the characters themselves.
    const char16_t *const text = QStringView(m_text).utf16();
    const char16_t *const textEnd = text + m_text.size();
    const char16_t *end = text + m_pos;
    while (end != textEnd && (*end > u'\r' || (*end != u'\r' && *end != u'\n')))
        ++end;
    return end - text;
}

QString TextReader::readLine()
{
    const qsizetype end = lineEnd();
    QString line = m_text.mid(m_pos, end - m_pos);
    m_pos = end;
    if (!atEnd())
        consumeLineEnd();
    return line;
}

void TextReader::skipLine()
{
    m_pos = lineEnd();
    if (!atEnd())
        consumeLineEnd();
}

} // namespace vorta
