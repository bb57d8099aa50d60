#include "story_index.h"

#include "engine/fragments.h"
#include "engine/numbers.h"
#include "engine/story_step.h"

namespace vorta::author {

StoryIndex::StoryIndex(const StoryData &data) : m_data(data)
{
    m_catalogue.genreCount = qint32(qMin<qsizetype>(data.genres.size(), kMaxGenres));
    for (qint32 g = 1; g <= m_catalogue.genreCount; ++g)
        element(m_catalogue.genreDirs, g) = data.genres.at(g - 1).dir;
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
    return fragmentPath(m_catalogue, genre, step);
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
