// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>
#include <string_view>
#include <vector>

// Where lines end. Every place that parts a file into lines, counts them or names one goes
// through lineEndLength, so CR LF, a LF alone and a CR alone each end one line everywhere.
namespace vorta {

// The length of the line end at pos: 2 for CR LF, 1 for a LF or a lone CR, 0 for none (pos at
// or past the end included).
std::size_t lineEndLength(std::u16string_view text, std::size_t pos);
std::size_t lineEndLength(std::string_view bytes, std::size_t pos);

// One line: where it starts, its length without its line end, and the length of that line end
// (0 for a last line that has none).
struct LineSpan
{
    std::size_t start = 0;
    std::size_t length = 0;
    std::size_t endLength = 0;

    std::size_t next() const { return start + length + endLength; }
    bool operator==(const LineSpan &) const = default;
};

// The lines of a text or of a file's bytes; a final line end ends the last line and starts
// none, so an empty text has no line.
std::vector<LineSpan> lineSpans(std::u16string_view text);
std::vector<LineSpan> lineSpans(std::string_view bytes);

std::vector<std::u16string> splitLines(std::u16string_view text);
std::vector<std::string> splitLines(std::string_view bytes);

// The first line end that the bytes use, so that lines added to a file match its own; LF for
// bytes without one.
std::string firstLineEnd(std::string_view bytes);

} // namespace vorta
