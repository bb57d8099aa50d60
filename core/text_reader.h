// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/story_error.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorta {

class DataTree;

// Sequential reading of one Windows-1251 text file, by delimited values and by whole lines.
// Every failure is a StoryError naming the file and the line where the read stood.
class TextReader
{
public:
    TextReader(std::u16string text, std::u16string fileName);

    // The whole file of the tree, decoded.
    static TextReader open(const DataTree &tree, const std::u16string &relativePath);

    bool atEnd() const { return m_pos >= m_text.size(); }
    // Skips blank lines, then tells whether the file has ended.
    bool atEndAfterBlankLines();

    // One field: ends at a comma or at the line end (consumed with it); spaces before it are
    // skipped, nothing else: a field that starts at a line end is empty. A quoted value may
    // hold commas.
    std::u16string readValue();
    // A delimited value that must be a whole number; blank lines, spaces and tabs before it are
    // skipped.
    std::int32_t readCount();
    // A genre index of a finale record: read like a count, but a value that is not a whole
    // number is none; a number beyond 32 bits is an overflow like any other.
    std::optional<std::int32_t> readIndex();
    // A number of the settings file: like a value, but spaces end it too.
    std::int32_t readNumber();
    // Everything up to the line end, verbatim; the line end is consumed.
    std::u16string readLine();
    // The same read, for a line that nobody keeps.
    void skipLine();

    // The line (from 1) where the next read starts.
    int line() const { return m_line; }
    // The line where the last value, count, index or number read began.
    int valueLine() const { return m_valueLine; }
    const std::u16string &fileName() const { return m_fileName; }

    [[noreturn]] void fail(ErrorKind kind, int line, const std::u16string &detail = {}) const;

private:
    int lastLine() const;
    void skipSpacesAndLineEnds();
    bool atLineEnd() const;
    void consumeLineEnd();
    std::u16string_view readField(bool spaceEnds);
    std::size_t lineEnd() const;
    void skipToDelimiter(bool spaceEnds);
    std::int32_t parseNumber(std::u16string_view text, int line) const;
    std::int32_t checkedNumber(std::int64_t value, std::u16string_view text, int line) const;

    std::u16string m_text;
    std::u16string m_fileName;
    std::size_t m_pos = 0;
    int m_line = 1;
    int m_valueLine = 1;
};

} // namespace vorta
