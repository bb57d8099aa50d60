// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/line_ends.h"

namespace vorta {

namespace {

template <typename View> std::size_t lineEndIn(View view, std::size_t pos)
{
    if (pos >= view.size())
        return 0;
    const auto c = view[pos];
    if (c == '\n')
        return 1;
    if (c != '\r')
        return 0;
    return pos + 1 < view.size() && view[pos + 1] == '\n' ? 2 : 1;
}

template <typename View> std::vector<LineSpan> spansOf(View view)
{
    std::vector<LineSpan> spans;
    std::size_t start = 0;
    for (std::size_t i = 0; i < view.size(); ++i) {
        const std::size_t end = lineEndIn(view, i);
        if (end == 0)
            continue;
        spans.push_back({start, i - start, end});
        i += end - 1;
        start = i + 1;
    }
    if (start < view.size())
        spans.push_back({start, view.size() - start, 0});
    return spans;
}

template <typename View> auto linesOf(View view)
{
    std::vector<std::basic_string<typename View::value_type>> lines;
    for (const LineSpan &span : spansOf(view))
        lines.emplace_back(view.substr(span.start, span.length));
    return lines;
}

} // namespace

std::size_t lineEndLength(std::u16string_view text, std::size_t pos)
{
    return lineEndIn(text, pos);
}

std::size_t lineEndLength(std::string_view bytes, std::size_t pos)
{
    return lineEndIn(bytes, pos);
}

std::vector<LineSpan> lineSpans(std::u16string_view text)
{
    return spansOf(text);
}

std::vector<LineSpan> lineSpans(std::string_view bytes)
{
    return spansOf(bytes);
}

std::vector<std::u16string> splitLines(std::u16string_view text)
{
    return linesOf(text);
}

std::vector<std::string> splitLines(std::string_view bytes)
{
    return linesOf(bytes);
}

std::string firstLineEnd(std::string_view bytes)
{
    for (const LineSpan &span : spansOf(bytes)) {
        if (span.endLength > 0)
            return std::string(bytes.substr(span.start + span.length, span.endLength));
    }
    return "\n";
}

} // namespace vorta
