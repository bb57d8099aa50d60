// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/windows1251.h"

#include "core/text.h"
#include "core/unicode.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vorta {

namespace {

// The characters of bytes 0x80 to 0xFF; below them the code page is ASCII.
constexpr std::array<char16_t, 128> kUpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F};

constexpr char kSubstitute = 0x1A;

// Every byte's character: one lookup without a branch, which Russian text, mixing the two
// halves at every word, would mispredict.
constexpr std::array<char16_t, 256> kByByte = [] {
    std::array<char16_t, 256> table{};
    for (std::size_t byte = 0; byte < 0x80; ++byte)
        table[byte] = char16_t(byte);
    for (std::size_t i = 0; i < kUpperHalf.size(); ++i)
        table[0x80 + i] = kUpperHalf[i];
    return table;
}();

// The upper half by character, for encoding.
const std::array<std::pair<char16_t, char>, 128> &byCharacter()
{
    static const std::array<std::pair<char16_t, char>, 128> table = [] {
        std::array<std::pair<char16_t, char>, 128> pairs{};
        for (std::size_t i = 0; i < kUpperHalf.size(); ++i)
            pairs[i] = {kUpperHalf[i], char(0x80 + i)};
        std::sort(pairs.begin(), pairs.end());
        return pairs;
    }();
    return table;
}

std::optional<char> byteOf(char16_t c)
{
    if (c < 0x80)
        return char(c);
    const auto &table = byCharacter();
    const auto found =
        std::lower_bound(table.begin(), table.end(), std::make_pair(c, char(0)),
                         [](const auto &a, const auto &b) { return a.first < b.first; });
    if (found == table.end() || found->first != c)
        return std::nullopt;
    return found->second;
}

} // namespace

std::u16string decodeWindows1251(std::string_view bytes)
{
    std::u16string text(bytes.size(), u'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        text[i] = kByByte[static_cast<unsigned char>(bytes[i])];
    return text;
}

std::optional<std::size_t> firstUnencodable(std::u16string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!byteOf(text[i]))
            return i;
    }
    return std::nullopt;
}

std::string encodeWindows1251(std::u16string_view text)
{
    std::string bytes(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        bytes[i] = byteOf(text[i]).value_or(kSubstitute);
    return bytes;
}

std::u16string characterName(std::u16string_view text, std::size_t at)
{
    const CodePoint point = codePointAt(text, at);
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string digits;
    for (char32_t rest = point.value; rest > 0 || digits.size() < 4; rest >>= 4)
        digits.insert(digits.begin(), kHex[rest & 0xF]);
    const std::u16string code = u"U+" + fromAscii(digits);
    const char32_t c = point.value;
    if (isControl(c) || (c >= 0xD800 && c < 0xE000))
        return code;
    return u"«" + std::u16string(text.substr(at, point.length)) + u"» (" + code + u")";
}

std::string windows1251Lines(const std::vector<std::u16string> &lines)
{
    std::string bytes;
    for (const std::u16string &line : lines) {
        bytes += encodeWindows1251(line);
        bytes += "\r\n";
    }
    return bytes;
}

} // namespace vorta
