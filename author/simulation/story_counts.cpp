// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "story_counts.h"

#include <QLocale>

#include <numeric>

namespace vorta::author {

int StoryCounts::stepTold(const QString &path) const
{
    const QList<int> told = variants.value(path);
    return std::accumulate(told.begin(), told.end(), 0);
}

int StoryCounts::endingsWithoutAnyRecord() const
{
    int total = 0;
    for (const QMap<FinalePair, int> &byPair : endingsWithoutRecord)
        total = std::accumulate(byPair.begin(), byPair.end(), total);
    return total;
}

namespace {

void addLists(QHash<QString, QList<int>> &into, const QHash<QString, QList<int>> &from)
{
    for (auto it = from.begin(); it != from.end(); ++it) {
        QList<int> &counts = into[it.key()];
        if (counts.size() < it->size())
            counts.resize(it->size());
        for (qsizetype i = 0; i < it->size(); ++i)
            counts[i] += it->at(i);
    }
}

template <typename Map> void addValues(Map &into, const Map &from)
{
    for (auto it = from.begin(); it != from.end(); ++it)
        into[it.key()] += it.value();
}

} // namespace

void addCounts(StoryCounts &into, const StoryCounts &from)
{
    into.stories += from.stories;
    addLists(into.variants, from.variants);
    addLists(into.records, from.records);
    addValues(into.finales, from.finales);
    addValues(into.endings, from.endings);
    for (auto it = from.endingsWithoutRecord.begin(); it != from.endingsWithoutRecord.end(); ++it)
        addValues(into.endingsWithoutRecord[it.key()], it.value());
    into.lowBranch += from.lowBranch;
    into.highBranch += from.highBranch;
}

QString shareText(int part, int whole)
{
    if (whole <= 0)
        return QStringLiteral("—");
    return QLocale(QLocale::Russian).toString(100.0 * part / whole, 'f', 1) + QStringLiteral(" %");
}

} // namespace vorta::author
