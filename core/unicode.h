// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>
#include <string_view>

// The few properties of characters that the story's rules ask about.
namespace vorta {

// White space as Unicode has it: tab to carriage return, the separators, U+0085 and the
// no-break space.
bool isSpace(char32_t c);

// C0 and C1 control characters and DEL.
bool isControl(char32_t c);

// Invisible characters that steer how text is shown (general category Cf): the zero-width
// space, the direction marks and overrides, the byte order mark.
bool isFormat(char32_t c);

// The text with every character in its simple case folding, so that names which differ only
// in case compare equal, as a file system that ignores case sees them.
std::u16string caseFolded(std::u16string_view text);

// The code point that starts at `at`, and how many units it takes (a lone surrogate stands for
// itself).
struct CodePoint
{
    char32_t value;
    std::size_t length;
};
CodePoint codePointAt(std::u16string_view text, std::size_t at);

} // namespace vorta
