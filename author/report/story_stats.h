// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/story_check.h"

#include <QList>
#include <QString>
#include <QTextStream>

namespace vorta::author {

// What one genre holds, as far as its files could be read.
struct GenreStats
{
    QString name;
    QString dir;
    int steps = 0; // step files read, of 64
    int variants = 0;
    int emptyVariants = 0;
    int lines = 0; // story lines of the variants and the finale records
    int words = 0;
    int finalePairs = 0;    // reachable pairs that the genre's finale file has a written record for
    int reachablePairs = 0; // the pairs a story of this catalogue can end with
};

QList<GenreStats> genreStats(const StoryData &data);

// Runs of letters, digits and the like between spaces and punctuation.
int wordCount(const QString &line);

// The statistics as a table, one row a genre, under a heading line.
void printGenreStats(const QList<GenreStats> &stats, QTextStream &out);

} // namespace vorta::author
