// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

// Text is UTF-16 everywhere in the core (std::u16string), so that a position, a cut and a row's
// width count the same characters as the window shows; bytes are std::string.
namespace vorta {

// UTF-8 in, UTF-16 out; a byte that does not belong to a well-formed sequence becomes U+FFFD.
std::u16string fromUtf8(std::string_view bytes);
// Whether the bytes are well-formed UTF-8 (no overlong form, no surrogate, nothing past U+10FFFF).
bool isUtf8(std::string_view bytes);
// UTF-16 in, UTF-8 out; a lone surrogate becomes U+FFFD.
std::string toUtf8(std::u16string_view text);
// Text that is known to be ASCII, such as digits.
std::u16string fromAscii(std::string_view ascii);

// A whole number in plain decimal digits, with a minus sign when negative.
std::u16string decimal(std::int64_t value);

// The pattern with %1 .. %9 replaced by the arguments, in the manner of the messages' texts.
std::u16string format(std::u16string_view pattern, std::initializer_list<std::u16string_view> args);

// The text without the white space (see isSpace) at either end.
std::u16string_view trimmed(std::u16string_view text);

// Whether the text starts with, ends with or holds the other.
inline bool startsWith(std::u16string_view text, std::u16string_view start)
{
    return text.substr(0, start.size()) == start;
}
inline bool endsWith(std::u16string_view text, std::u16string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}
inline bool contains(std::u16string_view text, std::u16string_view part)
{
    return text.find(part) != std::u16string_view::npos;
}

} // namespace vorta
