// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/story_tree.h"
#include "format/qt_text.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace vorta::author {

// One move of a story as an author reads it: where its text came from and the text.
struct ToldStep
{
    qint32 step = 0; // 1..64, or 65 for the finale
    QString genreName;
    QString genreDir;
    qint32 variant = 0;        // the drawn variant; 0 when the move stopped before it was told
    qint32 variantCount = 0;   // as the file states it
    qint32 iqValue = 0;        // step 37 only
    qint32 leastUsedGenre = 0; // the finale only
    qint32 mostUsedGenre = 0;
    QStringList lines; // what entered the story text
};

struct SteeredStory
{
    QList<ToldStep> steps;
    std::optional<StoryError> error; // the data error that stopped the story, if any

    // Every line told, in order, as the program's window holds them.
    QStringList lines() const;
};

// One whole story from a generator seeded with seed. Move m is the reader's move into genre
// picks[m] (a genre index) while the picks last, and a single pick steers every move; the
// program's own moves tell the rest. With no picks it is the story of a reader who never
// clicks.
SteeredStory tellSteeredStory(const DataTree &tree, quint64 seed, const QList<qint32> &picks = {});

// "[шаг 12 · Детектив (detective) · вариант 3 из 4]", with " · IQ 103" at step 37, and
// "[финал · наименее 2 · наиболее 4]" for the finale.
QString stepLabel(const ToldStep &step);

} // namespace vorta::author
