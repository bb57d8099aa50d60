// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QHash>
#include <QList>
#include <QMap>
#include <QString>

#include <utility>

namespace vorta::author {

// (least used genre, most used genre), as a finale record names it.
using FinalePair = std::pair<int, int>;

// How often each part of the story was told in a run of simulated stories. A story tells each
// step once, so every count is also a number of stories.
struct StoryCounts
{
    int stories = 0;
    QHash<QString, QList<int>> variants; // by fragment path, one count per variant
    QHash<QString, QList<int>> records;  // by finale path, one count per record
    QHash<QString, int> finales;         // by finale path: the stories that ended in it
    QMap<FinalePair, int> endings;       // the pair each story ended with
    // Stories whose finale file had no record for their pair: by finale path, then pair.
    QMap<QString, QMap<FinalePair, int>> endingsWithoutRecord;
    int lowBranch = 0;  // stories that told step 38 (IQ 100 or less)
    int highBranch = 0; // stories that told step 39

    // The stories that told this fragment file, whichever variant.
    int stepTold(const QString &path) const;
    int endingsWithoutAnyRecord() const;
};

// Adds the counts of another run of stories.
void addCounts(StoryCounts &into, const StoryCounts &from);

// "52,7 %": part of whole with one decimal, as Russian writes it; "—" for no whole.
QString shareText(int part, int whole);

} // namespace vorta::author
