// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/unicode.h"

#include "core/unicode_tables.h"

#include <algorithm>

namespace vorta {

using unicode_tables::CodeRange;
using unicode_tables::FoldRun;

bool isSpace(char32_t c)
{
    switch (c) {
    case 0x20:
    case 0x85:
    case 0xA0:
    case 0x1680:
    case 0x2028:
    case 0x2029:
    case 0x202F:
    case 0x205F:
    case 0x3000:
        return true;
    default:
        return (c >= 0x09 && c <= 0x0D) || (c >= 0x2000 && c <= 0x200A);
    }
}

bool isControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

bool isFormat(char32_t c)
{
    const CodeRange *begin = unicode_tables::kFormatCharacters;
    const CodeRange *end = begin + unicode_tables::kFormatCharacterCount;
    const CodeRange *range =
        std::upper_bound(begin, end, c, [](char32_t v, const CodeRange &r) { return v < r.first; });
    return range != begin && c <= (range - 1)->last;
}

namespace {

char32_t folded(char32_t c)
{
    const FoldRun *begin = unicode_tables::kCaseFolding;
    const FoldRun *end = begin + unicode_tables::kCaseFoldingCount;
    const FoldRun *run =
        std::upper_bound(begin, end, c, [](char32_t v, const FoldRun &r) { return v < r.first; });
    if (run == begin)
        return c;
    --run;
    if (c > run->last || (c - run->first) % char32_t(run->stride) != 0)
        return c;
    return char32_t(std::int64_t(c) + run->delta);
}

void appendCodePoint(std::u16string &text, char32_t c)
{
    if (c < 0x10000) {
        text.push_back(char16_t(c));
        return;
    }
    c -= 0x10000;
    text.push_back(char16_t(0xD800 + (c >> 10)));
    text.push_back(char16_t(0xDC00 + (c & 0x3FF)));
}

} // namespace

CodePoint codePointAt(std::u16string_view text, std::size_t at)
{
    const char16_t unit = text[at];
    if (unit >= 0xD800 && unit < 0xDC00 && at + 1 < text.size() && text[at + 1] >= 0xDC00 &&
        text[at + 1] < 0xE000)
        return {0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(text[at + 1]) - 0xDC00), 2};
    return {unit, 1};
}

std::u16string caseFolded(std::u16string_view text)
{
    std::u16string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const CodePoint point = codePointAt(text, i);
        appendCodePoint(result, folded(point.value));
        i += point.length;
    }
    return result;
}

} // namespace vorta
