// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "story_index.h"

#include "core/story_facts.h"
#include "core/tree_paths.h"

namespace vorta::author {

StoryIndex::StoryIndex(const StoryData &data) : m_data(data)
{
    for (std::size_t g = 0; g < data.genres.size() && g < std::size_t(kMaxGenres); ++g)
        m_dirs.push_back(data.genres[g].dir);
    for (const FragmentFile &file : data.fragments)
        m_fragments.emplace(file.path, &file);
    for (const FinaleFile &file : data.finales)
        m_finales.emplace(file.path, &file);
}

const Genre &StoryIndex::genre(qint32 genre) const
{
    return m_data.genres.at(std::size_t(genre - 1));
}

std::u16string StoryIndex::path(qint32 genre, qint32 step) const
{
    return fragmentFilePath(m_dirs.at(std::size_t(genre - 1)), step);
}

const FragmentFile *StoryIndex::fragment(qint32 genre, qint32 step) const
{
    return fragmentAt(path(genre, step));
}

const FinaleFile *StoryIndex::finale(qint32 genre) const
{
    return finaleAt(path(genre, kFinaleStep));
}

const FragmentFile *StoryIndex::fragmentAt(const std::u16string &path) const
{
    const auto found = m_fragments.find(path);
    return found == m_fragments.end() ? nullptr : found->second;
}

const FinaleFile *StoryIndex::finaleAt(const std::u16string &path) const
{
    const auto found = m_finales.find(path);
    return found == m_finales.end() ? nullptr : found->second;
}

} // namespace vorta::author
