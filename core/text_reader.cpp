// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/text_reader.h"

#include "core/line_ends.h"
#include "core/numbers.h"
#include "core/story_tree.h"
#include "core/text.h"

#include <algorithm>
#include <limits>

namespace vorta {

namespace {

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t';
}

bool isLineEnd(char16_t c)
{
    return c == u'\r' || c == u'\n';
}

} // namespace

TextReader::TextReader(std::u16string text, std::u16string fileName)
    : m_text(std::move(text)), m_fileName(std::move(fileName))
{}

TextReader TextReader::open(const DataTree &tree, const std::u16string &relativePath)
{
    return TextReader(tree.readText(relativePath), relativePath);
}

int TextReader::lastLine() const
{
    const bool endsWithLineEnd = !m_text.empty() && isLineEnd(m_text.back());
    return std::max(1, endsWithLineEnd ? m_line - 1 : m_line);
}

void TextReader::fail(ErrorKind kind, int line, const std::u16string &detail) const
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
        if (isBlank(m_text[m_pos]))
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
    for (;;) {
        while (!atEnd() && isBlank(m_text[m_pos]))
            ++m_pos;
        if (atEnd())
            return;
        if (m_text[m_pos] == u',') {
            ++m_pos;
            return;
        }
        if (atLineEnd()) {
            consumeLineEnd();
            return;
        }
        if (spaceEnds)
            return;
        // Text after a closing quote: dropped up to the delimiter.
        while (!atEnd() && m_text[m_pos] != u',' && !atLineEnd())
            ++m_pos;
    }
}

std::u16string_view TextReader::readField(bool spaceEnds)
{
    m_valueLine = m_line;
    while (!atEnd() && m_text[m_pos] == u' ')
        ++m_pos;
    if (atEnd())
        fail(ErrorKind::InputPastEndOfFile, lastLine());
    const std::u16string_view text = m_text;
    std::u16string_view value;
    if (text[m_pos] == u'"') {
        ++m_pos;
        const std::size_t close = text.find(u'"', m_pos);
        std::size_t end = m_pos;
        while (end < text.size() && end != close && !isLineEnd(text[end]))
            ++end;
        value = text.substr(m_pos, end - m_pos);
        m_pos = end == close ? end + 1 : end;
    } else {
        std::size_t end = m_pos;
        while (end < text.size()) {
            const char16_t c = text[end];
            if (c == u',' || isLineEnd(c) || (spaceEnds && isBlank(c)))
                break;
            ++end;
        }
        value = text.substr(m_pos, end - m_pos);
        while (!value.empty() && isBlank(value.back()))
            value.remove_suffix(1);
        m_pos = end;
    }
    skipToDelimiter(spaceEnds);
    return value;
}

std::u16string TextReader::readValue()
{
    return std::u16string(readField(false));
}

std::int32_t TextReader::checkedNumber(std::int64_t value, std::u16string_view text, int line) const
{
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max())
        fail(ErrorKind::Overflow, line, quoted(trimmed(text)));
    return std::int32_t(value);
}

std::int32_t TextReader::parseNumber(std::u16string_view text, int line) const
{
    const std::optional<std::int64_t> value = parseInteger(text);
    if (!value)
        fail(ErrorKind::BadNumber, line, quoted(text));
    return checkedNumber(*value, text, line);
}

std::optional<std::int32_t> TextReader::readIndex()
{
    skipSpacesAndLineEnds();
    const int line = m_line;
    const std::u16string_view text = readField(false);
    const std::optional<std::int64_t> value = parseInteger(text);
    if (!value)
        return std::nullopt;
    return checkedNumber(*value, text, line);
}

std::int32_t TextReader::readCount()
{
    skipSpacesAndLineEnds();
    const int line = m_line;
    return parseNumber(readField(false), line);
}

std::int32_t TextReader::readNumber()
{
    skipSpacesAndLineEnds();
    const int line = m_line;
    return parseNumber(readField(true), line);
}

std::size_t TextReader::lineEnd() const
{
    if (atEnd())
        fail(ErrorKind::InputPastEndOfFile, lastLine());
    const auto end = std::find_if(m_text.begin() + std::ptrdiff_t(m_pos), m_text.end(),
                                  [](char16_t c) { return c <= u'\r' && isLineEnd(c); });
    return std::size_t(end - m_text.begin());
}

std::u16string TextReader::readLine()
{
    const std::size_t end = lineEnd();
    std::u16string line = m_text.substr(m_pos, end - m_pos);
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
