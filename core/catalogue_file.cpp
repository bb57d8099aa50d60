// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/catalogue_file.h"

#include "core/story_facts.h"
#include "core/text.h"
#include "core/tree_paths.h"

#include <algorithm>

namespace vorta {

CatalogueEntry CatalogueReader::next()
{
    if (m_pairs == kMaxGenres)
        m_reader.fail(ErrorKind::SubscriptOutOfRange, m_reader.line(),
                      format(u"больше %1 жанров", {decimal(kMaxGenres)}));
    ++m_pairs;
    CatalogueEntry entry;
    entry.line = m_reader.line();
    entry.name = m_reader.readValue();
    entry.dirLine = m_reader.line();
    entry.dir = m_reader.readValue();
    if (const std::u16string fault = nameFault(entry.dir); !fault.empty())
        m_reader.fail(ErrorKind::BadName, entry.dirLine,
                      format(u"папка жанра %1: %2", {quoted(entry.dir), fault}));
    return entry;
}

namespace {

bool isBlankLine(std::u16string_view line)
{
    return std::all_of(line.begin(), line.end(),
                       [](char16_t c) { return c == u' ' || c == u'\t'; });
}

} // namespace

std::size_t linesBeforeTrailingBlanks(const std::vector<std::u16string> &lines)
{
    std::size_t end = lines.size();
    while (end > 0 && isBlankLine(lines[end - 1]))
        --end;
    return end;
}

std::vector<int> blankLinesInside(const std::vector<std::u16string> &lines)
{
    std::vector<int> blank;
    const std::size_t end = linesBeforeTrailingBlanks(lines);
    for (std::size_t i = 0; i < end; ++i) {
        if (isBlankLine(lines[i]))
            blank.push_back(int(i) + 1);
    }
    return blank;
}

std::u16string catalogueLine(const std::u16string &name, const std::u16string &dir)
{
    const std::u16string shownName = contains(name, u",") ? u"\"" + name + u"\"" : name;
    return shownName + u"," + dir;
}

} // namespace vorta
