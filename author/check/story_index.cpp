// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "story_index.h"

#include "format/story_facts.h"
#include "format/tree_paths.h"

namespace vorta::author {

StoryIndex::StoryIndex(const StoryData &data) : m_data(data)
{
    for (qsizetype g = 0; g < data.genres.size() && g < kMaxGenres; ++g)
        m_dirs.append(data.genres.at(g).dir);
    for (const FragmentFile &file : data.fragments)
        m_fragments.insert(file.path, &file);
    for (const FinaleFile &file : data.finales)
        m_finales.insert(file.path, &file);
}

const Genre &StoryIndex::genre(qint32 genre) const
{
    return m_data.genres.at(genre - 1);
}

QString StoryIndex::path(qint32 genre, qint32 step) const
{
    return fragmentFilePath(m_dirs.at(genre - 1), step);
}

const FragmentFile *StoryIndex::fragment(qint32 genre, qint32 step) const
{
    return m_fragments.value(path(genre, step));
}

const FinaleFile *StoryIndex::finale(qint32 genre) const
{
    return m_finales.value(path(genre, kFinaleStep));
}

} // namespace vorta::author
