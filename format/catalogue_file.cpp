// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "catalogue_file.h"

#include "format/story_facts.h"

#include <algorithm>

namespace vorta {

CatalogueEntry CatalogueReader::next()
{
    if (m_pairs == kMaxGenres)
        m_reader.fail(ErrorKind::SubscriptOutOfRange, m_reader.line(),
                      QStringLiteral("больше %1 жанров").arg(kMaxGenres));
    ++m_pairs;
    CatalogueEntry entry;
    entry.line = m_reader.line();
    entry.name = m_reader.readValue();
    entry.dirLine = m_reader.line();
    entry.dir = m_reader.readValue();
    return entry;
}

namespace {

bool isBlankLine(QStringView line)
{
    return std::all_of(line.begin(), line.end(),
                       [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); });
}

} // namespace

qsizetype linesBeforeTrailingBlanks(const QStringList &lines)
{
    qsizetype end = lines.size();
    while (end > 0 && isBlankLine(lines.at(end - 1)))
        --end;
    return end;
}

QList<int> blankLinesInside(const QStringList &lines)
{
    QList<int> blank;
    const qsizetype end = linesBeforeTrailingBlanks(lines);
    for (qsizetype i = 0; i < end; ++i) {
        if (isBlankLine(lines.at(i)))
            blank.append(int(i) + 1);
    }
    return blank;
}

QString catalogueLine(const QString &name, const QString &dir)
{
    const QString shownName =
        name.contains(QLatin1Char(',')) ? QLatin1Char('"') + name + QLatin1Char('"') : name;
    return shownName + QLatin1Char(',') + dir;
}

} // namespace vorta
