// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorta {

// Windows-1251 is single-byte: decoded by table, every byte is exactly one character, whatever
// the size of the input. The one byte the code page leaves undefined, 0x98, stands for U+0098,
// so every byte reads back as itself.
std::u16string decodeWindows1251(std::string_view bytes);

// Where the first character of text lies that Windows-1251 has no byte for; std::nullopt when
// every character has one.
std::optional<std::size_t> firstUnencodable(std::u16string_view text);

// The text in Windows-1251; a character without a byte (see firstUnencodable) becomes the
// substitute byte 0x1A.
std::string encodeWindows1251(std::u16string_view text);

// The character at a position as a message names it: itself and its code, «—» (U+2014); a
// control character by its code alone.
std::u16string characterName(std::u16string_view text, std::size_t at);

// The lines as a text file of the tree holds them: in Windows-1251, each ended by CR LF. Every
// character must have a byte.
std::string windows1251Lines(const std::vector<std::u16string> &lines);

} // namespace vorta
