// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/text.h"

#include "core/unicode.h"

namespace vorta {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// The code point of the well-formed UTF-8 sequence at `at`, and its length; none where the
// bytes there do not start one.
std::optional<CodePoint> utf8At(std::string_view bytes, std::size_t at)
{
    const auto byte = [&](std::size_t i) {
        return static_cast<unsigned char>(bytes[i]);
    };
    const unsigned char first = byte(at);
    if (first < 0x80)
        return CodePoint{first, 1};
    std::size_t length = 0;
    char32_t value = 0;
    char32_t least = 0;
    if ((first & 0xE0) == 0xC0) {
        length = 2;
        value = first & 0x1F;
        least = 0x80;
    } else if ((first & 0xF0) == 0xE0) {
        length = 3;
        value = first & 0x0F;
        least = 0x800;
    } else if ((first & 0xF8) == 0xF0) {
        length = 4;
        value = first & 0x07;
        least = 0x10000;
    } else {
        return std::nullopt;
    }
    if (at + length > bytes.size())
        return std::nullopt;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return std::nullopt;
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value < 0xE000))
        return std::nullopt;
    return CodePoint{value, length};
}

void appendUtf16(std::u16string &text, char32_t c)
{
    if (c < 0x10000) {
        text.push_back(char16_t(c));
    } else {
        c -= 0x10000;
        text.push_back(char16_t(0xD800 + (c >> 10)));
        text.push_back(char16_t(0xDC00 + (c & 0x3FF)));
    }
}

} // namespace

std::u16string fromUtf8(std::string_view bytes)
{
    std::u16string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        if (const std::optional<CodePoint> point = utf8At(bytes, i)) {
            appendUtf16(text, point->value);
            i += point->length;
        } else {
            text.push_back(kReplacement);
            ++i;
        }
    }
    return text;
}

bool isUtf8(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const std::optional<CodePoint> point = utf8At(bytes, i);
        if (!point)
            return false;
        i += point->length;
    }
    return true;
}

std::string toUtf8(std::u16string_view text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        CodePoint point = codePointAt(text, i);
        i += point.length;
        if (point.value >= 0xD800 && point.value < 0xE000)
            point.value = kReplacement;
        const char32_t c = point.value;
        if (c < 0x80) {
            bytes.push_back(char(c));
        } else if (c < 0x800) {
            bytes.push_back(char(0xC0 | (c >> 6)));
            bytes.push_back(char(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            bytes.push_back(char(0xE0 | (c >> 12)));
            bytes.push_back(char(0x80 | ((c >> 6) & 0x3F)));
            bytes.push_back(char(0x80 | (c & 0x3F)));
        } else {
            bytes.push_back(char(0xF0 | (c >> 18)));
            bytes.push_back(char(0x80 | ((c >> 12) & 0x3F)));
            bytes.push_back(char(0x80 | ((c >> 6) & 0x3F)));
            bytes.push_back(char(0x80 | (c & 0x3F)));
        }
    }
    return bytes;
}

std::u16string fromAscii(std::string_view ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

std::u16string decimal(std::int64_t value)
{
    return fromAscii(std::to_string(value));
}

std::u16string format(std::u16string_view pattern, std::initializer_list<std::u16string_view> args)
{
    std::u16string text;
    text.reserve(pattern.size() + 16);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == u'%' && i + 1 < pattern.size() && pattern[i + 1] >= u'1' &&
            pattern[i + 1] <= u'9') {
            const std::size_t n = std::size_t(pattern[i + 1] - u'1');
            if (n < args.size()) {
                text += *(args.begin() + n);
                ++i;
                continue;
            }
        }
        text.push_back(pattern[i]);
    }
    return text;
}

std::u16string_view trimmed(std::u16string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isSpace(text[begin]))
        ++begin;
    while (end > begin && isSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

} // namespace vorta
