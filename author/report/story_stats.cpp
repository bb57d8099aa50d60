// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "story_stats.h"

#include "author/check/story_index.h"

#include "core/story_facts.h"
#include "format/qt_text.h"

#include <QSet>

#include <algorithm>

namespace vorta::author {

namespace {

void countLines(GenreStats &stats, const std::vector<std::u16string> &lines)
{
    stats.lines += int(lines.size());
    for (const std::u16string &line : lines)
        stats.words += wordCount(toQString(line));
}

} // namespace

int wordCount(const QString &line)
{
    int words = 0;
    bool inWord = false;
    for (const QChar c : line) {
        const bool wordChar = c.isLetterOrNumber() || c.isMark();
        if (wordChar && !inWord)
            ++words;
        inWord = wordChar || (inWord && (c == QLatin1Char('-') || c == QChar(0x2019)));
    }
    return words;
}

QList<GenreStats> genreStats(const StoryData &data)
{
    const StoryIndex index(data);
    const std::vector<std::pair<int, int>> reachable = reachableFinalePairs(index.genreCount());
    QList<GenreStats> all;
    for (qint32 g = 1; g <= index.genreCount(); ++g) {
        GenreStats stats{toQString(index.genre(g).name), toQString(index.genre(g).dir)};
        for (qint32 step = kFirstStep; step < kFinaleStep; ++step) {
            const FragmentFile *file = index.fragment(g, step);
            if (file == nullptr || file->variants.empty())
                continue;
            ++stats.steps;
            for (const Variant &variant : file->variants) {
                ++stats.variants;
                if (variant.lines.empty())
                    ++stats.emptyVariants;
                countLines(stats, variant.lines);
            }
        }
        stats.reachablePairs = int(reachable.size());
        if (const FinaleFile *finale = index.finale(g)) {
            QSet<std::pair<int, int>> covered;
            for (const FinaleRecord &record : finale->records) {
                countLines(stats, record.lines);
                // An empty record is no ending written yet.
                if (record.pair.leastUsedGenre && record.pair.mostUsedGenre &&
                    !record.lines.empty()) {
                    const std::pair<int, int> pair(*record.pair.leastUsedGenre,
                                                   *record.pair.mostUsedGenre);
                    if (std::find(reachable.begin(), reachable.end(), pair) != reachable.end())
                        covered.insert(pair);
                }
            }
            stats.finalePairs = int(covered.size());
        }
        all.append(stats);
    }
    return all;
}

void printGenreStats(const QList<GenreStats> &stats, QTextStream &out)
{
    QStringList names;
    qsizetype widest = 0;
    for (const GenreStats &genre : stats) {
        names.append(QStringLiteral("%1 (%2)").arg(genre.name, genre.dir));
        widest = qMax(widest, names.back().size());
    }
    const QStringList headings{QStringLiteral("шагов"),  QStringLiteral("вариантов"),
                               QStringLiteral("пустых"), QStringLiteral("строк"),
                               QStringLiteral("слов"),   QStringLiteral("пар финала")};
    out << QStringLiteral("жанр").leftJustified(widest);
    for (const QString &heading : headings)
        out << "  " << heading;
    out << '\n';
    for (qsizetype i = 0; i < stats.size(); ++i) {
        const GenreStats &genre = stats.at(i);
        const QStringList cells{
            QString::number(genre.steps),
            QString::number(genre.variants),
            QString::number(genre.emptyVariants),
            QString::number(genre.lines),
            QString::number(genre.words),
            QStringLiteral("%1 из %2").arg(genre.finalePairs).arg(genre.reachablePairs)};
        out << names.at(i).leftJustified(widest);
        for (qsizetype c = 0; c < cells.size(); ++c)
            out << "  " << cells.at(c).rightJustified(headings.at(c).size());
        out << '\n';
    }
}

} // namespace vorta::author
