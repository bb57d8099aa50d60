// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/story_check.h"

#include <QtGlobal>

#include <string>
#include <unordered_map>
#include <vector>

namespace vorta::author {

// The files of a checked tree by genre and step, found by the paths the program itself builds.
class StoryIndex
{
public:
    explicit StoryIndex(const StoryData &data);

    qint32 genreCount() const { return qint32(m_dirs.size()); }
    const Genre &genre(qint32 genre) const;
    // "Genres/<dir>/<step>.vtq" of genre 1..genreCount; step 65 is the finale.
    std::u16string path(qint32 genre, qint32 step) const;

    // The file as far as it could be read; nullptr for a file the check could not open.
    const FragmentFile *fragment(qint32 genre, qint32 step) const;
    const FinaleFile *finale(qint32 genre) const;
    const FragmentFile *fragmentAt(const std::u16string &path) const;
    const FinaleFile *finaleAt(const std::u16string &path) const;

private:
    const StoryData &m_data;
    std::vector<std::u16string> m_dirs; // of genres 1.., as many as the program takes
    std::unordered_map<std::u16string, const FragmentFile *> m_fragments;
    std::unordered_map<std::u16string, const FinaleFile *> m_finales;
};

} // namespace vorta::author
