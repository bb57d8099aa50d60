// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "author/check/tree_check.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace vorta::author {

// The files of a checked tree by genre and step, found by the paths the program itself builds.
class StoryIndex
{
public:
    explicit StoryIndex(const StoryData &data);

    qint32 genreCount() const { return qint32(m_dirs.size()); }
    const Genre &genre(qint32 genre) const;
    // "Genres/<dir>/<step>.vtq" of genre 1..genreCount; step 65 is the finale.
    QString path(qint32 genre, qint32 step) const;

    // The file as far as it could be read; nullptr for a file the check could not open.
    const FragmentFile *fragment(qint32 genre, qint32 step) const;
    const FinaleFile *finale(qint32 genre) const;
    const FragmentFile *fragmentAt(const QString &path) const { return m_fragments.value(path); }
    const FinaleFile *finaleAt(const QString &path) const { return m_finales.value(path); }

private:
    const StoryData &m_data;
    QStringList m_dirs; // of genres 1.., as many as the program takes
    QHash<QString, const FragmentFile *> m_fragments;
    QHash<QString, const FinaleFile *> m_finales;
};

} // namespace vorta::author
