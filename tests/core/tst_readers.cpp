// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/catalogue_file.h"
#include "core/finale_file.h"
#include "core/fragment_file.h"
#include "core/settings_file.h"
#include "core/text.h"

#include <gtest/gtest.h>

using namespace vorta;

namespace {

TextReader readerOf(std::u16string text)
{
    return TextReader(std::move(text), u"file.vtq");
}

// The error a read raises, or none.
template <typename Read> std::optional<ErrorKind> failureOf(Read &&read)
{
    try {
        read();
    } catch (const StoryError &error) {
        return error.kind();
    }
    return std::nullopt;
}

} // namespace

TEST(Readers, Settings)
{
    const struct
    {
        std::u16string text;
        std::optional<std::pair<std::int32_t, std::int32_t>> values;
    } rows[] = {{u" 1 \r\n 5 \r\n", std::pair{1, 5}},
                {u"10,10", std::pair{10, 10}},
                {u"\r\n  3   7 and more", std::pair{3, 7}},
                {u"-2\r\n0", std::pair{-2, 0}},
                {u"4", std::nullopt},
                {u"x 1", std::nullopt}};
    for (const auto &row : rows) {
        TextReader reader = readerOf(row.text);
        std::optional<std::pair<std::int32_t, std::int32_t>> read;
        try {
            const std::int32_t first = readSettingValue(reader).value;
            read = std::pair{first, readSettingValue(reader).value};
        } catch (const StoryError &) {
        }
        EXPECT_EQ(read, row.values) << toUtf8(row.text);
    }
    EXPECT_EQ(settingsFileBytes(1, 5), " 1 \r\n 5 \r\n");
    EXPECT_EQ(autoPeriodMsOf(0), 1000);
    EXPECT_EQ(autoPeriodMsOf(-1), -5000);
    EXPECT_EQ(autoPeriodMsOf(429497), std::nullopt);
}

TEST(Readers, Catalogue)
{
    std::u16string ten;
    for (int i = 1; i <= 10; ++i)
        ten += u"g" + decimal(i) + u",d" + decimal(i) + u"\r\n";
    const struct
    {
        std::u16string text;
        int pairs;
        std::optional<ErrorKind> failure;
    } rows[] = {{u"", 0, std::nullopt},
                {u"\"Имя, с запятой\",dir", 1, std::nullopt},
                {ten, 10, std::nullopt},
                {ten + u"\r\n", 10, ErrorKind::SubscriptOutOfRange},
                {u"a,b\r\nc", 1, ErrorKind::InputPastEndOfFile}};
    for (const auto &row : rows) {
        CatalogueReader reader(readerOf(row.text));
        int pairs = 0;
        const auto failure = failureOf([&] {
            while (!reader.atEnd()) {
                reader.next();
                ++pairs;
            }
        });
        EXPECT_EQ(pairs, row.pairs) << toUtf8(row.text);
        EXPECT_EQ(failure, row.failure) << toUtf8(row.text);
    }
    CatalogueReader quoted(readerOf(u"\"Имя, с запятой\",dir"));
    EXPECT_EQ(quoted.next().name, u"Имя, с запятой");
    EXPECT_EQ(catalogueLine(u"a,b", u"c"), u"\"a,b\",c");
}

// A fragment's variants read one after another, each line whole; the finale's records each with
// their pair, an index that is not a number matching nothing.
TEST(Readers, FragmentsAndFinales)
{
    FragmentReader fragment(readerOf(u"2\r\n2\r\nодин, \"два\"\r\n\r\n1\r\nтри"));
    EXPECT_EQ(fragment.variantCount(), 2);
    std::vector<std::u16string> lines;
    const auto keep = [&lines](const std::u16string &line, int) {
        lines.push_back(line);
    };
    fragment.readVariant(keep);
    fragment.readVariant(keep);
    EXPECT_EQ(lines, (std::vector<std::u16string>{u"один, \"два\"", u"", u"три"}));
    EXPECT_TRUE(fragment.restIsBlank());
    EXPECT_EQ(failureOf([] { FragmentReader(readerOf(u"0\r\n")).requireVariants(); }),
              ErrorKind::BadNumber);

    FinaleReader finale(readerOf(u"2\r\n1\r\n1\r\nA\r\nx\r\n5\r\n0\r\n"));
    const RecordPair first = finale.readPair();
    EXPECT_TRUE(first.matches(2, 1));
    finale.readLines({});
    const RecordPair second = finale.readPair();
    EXPECT_FALSE(second.leastUsedGenre);
    finale.readLines({});
    EXPECT_TRUE(finale.atEnd());
    EXPECT_EQ(finaleFileBytes({{4, 2, {u"Конец"}}}), "4\r\n2\r\n1\r\n\xCA\xEE\xED\xE5\xF6\r\n");
}
