// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/line_ends.h"
#include "core/numbers.h"
#include "core/text.h"
#include "core/unicode.h"
#include "core/windows1251.h"

#include <gtest/gtest.h>

#include <limits>

using namespace std::string_literals;

using namespace vorta;

// UTF-8 both ways: well-formed text round-trips, and every malformed sequence is refused.
TEST(Text, Utf8)
{
    for (const std::u16string &text :
         {u""s, u"abc"s, u"Ёлка — ёж"s, u"\U0001F600 смайл"s, u"\0x"s}) {
        EXPECT_TRUE(isUtf8(toUtf8(text)));
        EXPECT_EQ(fromUtf8(toUtf8(text)), text);
    }
    EXPECT_EQ(toUtf8(u"a\xD800z"), "a\xEF\xBF\xBDz"); // a lone surrogate
    for (const char *bad :
         {"\xC0\xAF", "\xED\xA0\x80", "\xE2\x82", "\xF4\x90\x80\x80", "\xFF", "\x80"}) {
        EXPECT_FALSE(isUtf8(bad)) << bad;
        EXPECT_NE(fromUtf8(bad).find(u'\xFFFD'), std::u16string::npos) << bad;
    }
}

TEST(Text, Numbers)
{
    EXPECT_EQ(numberText(30), u" 30");
    EXPECT_EQ(numberText(0), u" 0");
    EXPECT_EQ(numberText(-2), u"-2");
    EXPECT_EQ(format(u"%2 и %1, %3", {u"a", u"b"}), u"b и a, %3");
    const std::int64_t most = std::numeric_limits<std::int64_t>::max();
    const std::int64_t least = std::numeric_limits<std::int64_t>::min();
    const struct
    {
        std::u16string text;
        std::optional<std::int64_t> value;
    } rows[] = {{u"5", 5},
                {u" \t+7 \r", 7},
                {u"-0", 0},
                {u"007", 7},
                {u"-2147483649", -2147483649LL},
                {u"123456789012345678", 123456789012345678LL},
                {u"1234567890123456789", most},
                {u"-99999999999999999999", least},
                {u"", std::nullopt},
                {u"-", std::nullopt},
                {u"1 2", std::nullopt},
                {u"5x", std::nullopt},
                {u"٣", std::nullopt}};
    for (const auto &row : rows)
        EXPECT_EQ(parseInteger(row.text), row.value) << toUtf8(row.text);
    EXPECT_THROW(checkedAdd(std::numeric_limits<std::int32_t>::max(), 1), StoryError);
    EXPECT_EQ(floorDiv(-1, 1000), -1);
    EXPECT_EQ(floorDiv(1999, 1000), 1);
}

// Every byte is one character and comes back as itself; a character without a byte is found.
TEST(Text, Windows1251)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(char(b));
    const std::u16string decoded = decodeWindows1251(all);
    ASSERT_EQ(decoded.size(), 256u);
    EXPECT_EQ(encodeWindows1251(decoded), all);
    EXPECT_FALSE(firstUnencodable(decoded));
    EXPECT_EQ(decodeWindows1251("\xA8\xB8\xC0\xFF\x98\xB9"), u"ЁёАя\u0098№");
    EXPECT_EQ(firstUnencodable(u"ok ☺ x"), 3u);
    EXPECT_EQ(encodeWindows1251(u"a☺"), "a\x1A");
    EXPECT_EQ(characterName(u"a—b", 1), u"«—» (U+2014)");
    EXPECT_EQ(characterName(u"\x01", 0), u"U+0001");
    EXPECT_EQ(characterName(u"\U0001F600", 0), u"«\U0001F600» (U+1F600)");
    EXPECT_EQ(windows1251Lines({u"Да", u""}), "\xC4\xE0\r\n\r\n");
}

TEST(Text, LineEnds)
{
    const struct
    {
        std::string text;
        std::vector<LineSpan> spans;
    } rows[] = {{"", {}},
                {"a", {{0, 1, 0}}},
                {"a\r\n", {{0, 1, 2}}},
                {"a\rb", {{0, 1, 1}, {2, 1, 0}}},
                {"a\n\nb", {{0, 1, 1}, {2, 0, 1}, {3, 1, 0}}},
                {"\r\n\r\n", {{0, 0, 2}, {2, 0, 2}}}};
    for (const auto &row : rows) {
        EXPECT_EQ(lineSpans(row.text), row.spans) << row.text;
        EXPECT_EQ(lineSpans(fromUtf8(row.text)), row.spans) << row.text;
    }
    EXPECT_EQ(firstLineEnd("a\rb\r\n"), "\r");
    EXPECT_EQ(firstLineEnd("none"), "\n");
}

TEST(Text, CharacterProperties)
{
    EXPECT_EQ(caseFolded(u"Ужасы HORROR Ёё ΣΑΣ ς ẞ"), u"ужасы horror ёё σασ σ ß");
    EXPECT_EQ(caseFolded(u"\U00010400"), u"\U00010428"); // Deseret, beyond 16 bits
    for (const char32_t c : {U'\u200B', U'\u202E', U'\uFEFF', U'\u00AD', U'\U000E0001'})
        EXPECT_TRUE(isFormat(c)) << std::uint32_t(c);
    for (const char32_t c : {U'a', U'\u0416', U' ', U'\u2028'})
        EXPECT_FALSE(isFormat(c)) << std::uint32_t(c);
    EXPECT_EQ(trimmed(u"\u3000\t x \u00A0\n"), u"x");
}
